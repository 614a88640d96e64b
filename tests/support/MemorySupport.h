// The memory and statistics windows of the program's frame, and memory cells
// put in place as a run would leave them.
#pragma once

#include "support/FrameSupport.h"

#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/document/CCalcDoc.h"
#include "core/memory/MemoryMap.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/ui/memory/CCalcMemory.h"
#include "desktop/ui/statistics/CCalcStatistics.h"
#include "core/engine/EngineState.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <ostream>
#include <string>
#include <vector>

// Readable failures: texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

struct TestCell {
    std::u16string Name;
    double Value;
};

class MemoryWindowTest : public FrameTest {
protected:
    CCalcMemory& memory() const { return *qobject_cast<CCalcMemory*>(frame->bar(CalcBars::Memory)->panel()); }
    CCalcStatistics& statistics() const
    {
        return *qobject_cast<CCalcStatistics*>(frame->bar(CalcBars::Statistics)->panel());
    }
    CCalcMemoryModel& model() const { return *memory().model(); }

    // A new frame on empty settings: no layout, widths or sort carried over.
    void freshFrame()
    {
        frame.reset();
        ProgramStore().clear();
        frame = makeFrame();
        frame->setPrompts(&prompts);
    }

    // Stores the cells and gives the document's notice, as a run does.
    void store(const std::vector<TestCell>& cells) const
    {
        for (const TestCell& cell : cells)
            NCalculatorText::State().MemoryMap.GetOrCreate(cell.Name) = cell.Value;
        NCalculatorText::State().MemoryMap.Changed = true;
        frame->document()->noticeMemoryChange();
    }

    // Gives the list the keyboard focus, in an active window.
    void focusList() const
    {
        QTreeView* list = memory().list();
        ASSERT_TRUE(QTest::qWaitFor([list] {
            list->activateWindow();
            list->setFocus();
            return list->hasFocus();
        }));
    }

    // Frees every cell and gives the notice, as Memory Free does.
    void freeAll() const
    {
        NCalculatorText::State().MemoryMap.FreeAll();
        frame->document()->noticeMemoryChange();
    }

    // Cells "c0" ... named so that key order is index order.
    void storeNumbered(std::size_t count) const
    {
        std::vector<TestCell> cells;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string digits = std::to_string(100000 + i);
            cells.push_back({u"c" + std::u16string(digits.begin(), digits.end()), static_cast<double>(i)});
        }
        store(cells);
    }

    // The name shown in list row.
    QString nameAt(int row) const { return model().index(row, CCalcMemorySnapshot::CellColumn).data().toString(); }
    QStringList shownNames() const
    {
        QStringList names;
        for (int row = 0; row < model().rowCount(); ++row)
            names.append(nameAt(row));
        return names;
    }
    // Ticks the rows showing these cells, as a click on their tick boxes does.
    void tick(const QStringList& names) const
    {
        for (int row = 0; row < model().rowCount(); ++row) {
            if (names.contains(nameAt(row)))
                model().setData(model().index(row, 0), Qt::Checked, Qt::CheckStateRole);
        }
    }
    QStringList tickedNames() const
    {
        QStringList names;
        for (int row = 0; row < model().rowCount(); ++row) {
            if (model().index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked)
                names.append(nameAt(row));
        }
        return names;
    }
    QStringList storeNames() const
    {
        QStringList names;
        for (const auto& [name, cell] : NCalculatorText::State().MemoryMap)
            names.append(QString::fromStdU16String(name));
        return names;
    }
    void press(CCalcMemory::Button which) const { memory().button(which)->click(); }
};
