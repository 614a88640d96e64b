// The hints beside failed and warned statements, where the editor shows
// them: the wavy line's tooltip with a short mark at the spot, the value
// pane, the log row's tooltip and help, and the dotted underline of a cell
// that has no value yet.
#include "support/FrameSupport.h"

#include "core/engine/EngineState.h"
#include "core/memory/MemoryMap.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/frame/CCalcStatusBar.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/ui/CCalcCmdReceiver.h"
#include "desktop/ui/editor/CCalcEditorAids.h"
#include "desktop/ui/editor/CCalcLivePreview.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/ui/log/CCalcLog.h"

#include <QTest>
#include <QTreeWidget>

namespace {

using Mark = CCalcView::TextMark;
using Style = CCalcView::MarkStyle;

class EditorHints : public FrameTest {
protected:
    CCalcView& view() { return *frame->view(); }
    QString prompt() { return frame->calcStatusBar()->paneText(CCalcStatusBar::PromptPane); }
    QString marked(const Mark& mark) { return view().text().mid(mark.Start, mark.Length); }
    void calculateAll(const QString& text)
    {
        NCalculatorText::ResetProcessState();
        view().loadText(text);
        frame->document()->Command(CmdCalculateAll);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !frame->document()->isCalculating(); }, 30000));
    }
};

TEST_F(EditorHints, TheWavyLineExplainsItselfAndMarksTheSpot)
{
    calculateAll("1; 2*-3");
    std::vector<std::pair<Style, QString>> shown;
    for (const Mark& mark : view().marks(CCalcView::MarkLayer::Findings))
        shown.emplace_back(mark.Style, marked(mark));
    const std::vector<std::pair<Style, QString>> expected = {{Style::ErrorUnderline, "2*-3"}, {Style::Spot, "-"}};
    EXPECT_EQ(shown, expected);
    const QString hint = "Syntax error: a sign cannot follow an operator; write 2*(-3)";
    // The first result is written into the text: find the statement anew.
    const int statement = static_cast<int>(view().text().indexOf(QStringLiteral("2*-3")));
    ASSERT_GT(statement, 0);
    EXPECT_EQ(view().markToolTipAt(statement), hint);
    EXPECT_EQ(view().markToolTipAt(statement + 2), hint);
    EXPECT_EQ(view().markToolTipAt(0), "") << "the statement that succeeded has no tooltip";
}

TEST_F(EditorHints, TheLogRowKeepsItsColumnsAndTellsTheHintInItsTooltip)
{
    calculateAll("5->Mem[rent]; Mem[rnet]*2");
    const CCalcLog* log = LogPanel(*frame);
    ASSERT_EQ(log->rowCount(), 1);
    const QTreeWidgetItem* row = log->list()->topLevelItem(0);
    EXPECT_EQ(row->text(CCalcLog::StatusColumn), "Warning");
    EXPECT_EQ(row->text(CCalcLog::ContextColumn), "Memory");
    EXPECT_EQ(row->text(CCalcLog::DescriptionColumn), "Uninitialized memory used, value forced to 0");
    EXPECT_EQ(row->toolTip(CCalcLog::DescriptionColumn),
              "Uninitialized memory used, value forced to 0\nMem[rnet] has no value yet; did you mean Mem[rent]?");
    // F1 on the row opens the paragraph of that mistake.
    log->list()->setCurrentItem(log->list()->topLevelItem(0));
    EXPECT_EQ(log->helpTargetAt(std::nullopt).Topic, "messages#hint-unset-cell");
}

TEST_F(EditorHints, ARowWithoutAHintKeepsTheHelpOfItsMessage)
{
    calculateAll("1/0");
    const CCalcLog* log = LogPanel(*frame);
    ASSERT_EQ(log->rowCount(), 1);
    EXPECT_EQ(log->list()->topLevelItem(0)->toolTip(CCalcLog::DescriptionColumn), "Operation has singularity at 0");
    log->list()->setCurrentItem(log->list()->topLevelItem(0));
    EXPECT_EQ(log->helpTargetAt(std::nullopt).Topic, CalcHelp::MessageTopic(NCalculatorText::Singularity));
}

TEST_F(EditorHints, TheValuePaneExplainsTheStatementAtTheCaret)
{
    struct Row {
        const char* name;
        QString text;
        QString shown;
    };
    const Row rows[] = {
        {"a sign behind an operator", "2*-3", "Syntax error: a sign cannot follow an operator; write 2*(-3)"},
        {"a number before a name", "2pi",
         "Syntax error: a number or bracket cannot stand right before a name or bracket; write 2*pi"},
        {"a decimal comma", "3,5*2", "A list has no single value (did you mean 3.5?)"},
        {"a list", "1, 2", "A list has no single value"},
        {"a misspelt cell", "Mem[rnet]*2",
         "= 0  (Uninitialized memory used, value forced to 0: Mem[rnet] has no value yet; did you mean Mem[rent]?)"},
        {"a math error has no hint", "1/0", "Operation has singularity at 0"},
    };
    NCalculatorText::State().MemoryMap.GetOrCreate(u"rent") = 800;
    for (const Row& row : rows) {
        view().loadText(row.text);
        view().setSelection(row.text.size(), row.text.size());
        EXPECT_TRUE(QTest::qWaitFor([&] { return prompt() == row.shown; }, 30000)) << row.name;
        EXPECT_EQ(prompt(), row.shown) << row.name;
    }
    NCalculatorText::State().MemoryMap = {};
}

TEST_F(EditorHints, ACellNoStatementAboveStoresIsDottedBeforeCalculating)
{
    NCalculatorText::State().MemoryMap.GetOrCreate(u"kept") = 1;
    const QString text = "Mem[kept]+Mem[a]; 5->Mem[b]; Mem[b]*Mem[c] // Mem[d]\n";
    view().loadText(text);
    const auto dotted = [this] {
        QStringList names;
        for (const Mark& mark : view().marks(CCalcView::MarkLayer::Names)) {
            if (mark.Style == Style::DottedUnderline)
                names << marked(mark);
        }
        return names;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dotted().isEmpty(); }, 30000));
    EXPECT_EQ(dotted(), (QStringList{"Mem[a]", "Mem[c]"}));
    EXPECT_EQ(view().markToolTipAt(text.indexOf("Mem[c]") + 2), "Mem[c] has no value yet");
    // Storing the cell takes the mark away.
    NCalculatorText::State().MemoryMap.GetOrCreate(u"a") = 2;
    frame->editorAids()->refreshLiveValue();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dotted().size() == 1; }, 30000));
    EXPECT_EQ(dotted(), QStringList{"Mem[c]"});
    // Without highlighting there is no mark.
    frame->editorAids()->setHighlighting(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dotted().isEmpty(); }, 30000));
    frame->editorAids()->setHighlighting(true);
    NCalculatorText::State().MemoryMap = {};
}

}  // namespace
