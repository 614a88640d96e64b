// The memory window: its buttons and their enable rules, the questions of
// Free and Statistics, ticks that survive rebuilds, sorting, saving the
// ticked cells and the stored column widths.
#include "support/MemorySupport.h"

#include "desktop/services/CalcListColumns.h"
#include "core/settings/CalcSettings.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "core/engine/EngineState.h"

#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>

#include <array>

namespace {

using Button = CCalcMemory::Button;
using Column = CCalcMemorySnapshot::Column;

const QString EraseAll = QStringLiteral("You are about to erase all the memory.\nAre you sure?");
const QString EraseSelected = QStringLiteral("You are about to erase selected memory.\nAre you sure?");

const std::vector<TestCell> ThreeCells = {{u"a", 1}, {u"b", 2}, {u"c", 3}};

TEST_F(MemoryWindowTest, ButtonsAreEnabledByTheNumberOfCells)
{
    struct Row {
        std::size_t cells;
        std::array<bool, CCalcMemory::ButtonCount> enabled;  // Free, Save, Statistics, Invert, Clear
    };
    const Row rows[] = {
        {0, {false, false, false, false, false}},
        {1, {true, true, false, true, true}},
        {2, {true, true, true, true, true}},
        {0, {false, false, false, false, false}},  // after a free
    };
    for (const Row& row : rows) {
        freeAll();
        storeNumbered(row.cells);
        for (int b = 0; b < CCalcMemory::ButtonCount; ++b)
            EXPECT_EQ(memory().button(static_cast<Button>(b))->isEnabled(), row.enabled[b])
                << row.cells << " cells, button " << b;
    }
}

TEST_F(MemoryWindowTest, FreeAsksByTheTicksAndTheConfirmationSetting)
{
    struct Row {
        const char* label;
        std::uint32_t confirmation;
        QStringList ticked;
        bool answer;
        QString question;  // empty: nothing asked
        QStringList remaining;
    };
    const Row rows[] = {
        {"none ticked frees all", 1, {}, true, EraseAll, {}},
        {"every row ticked frees all", 2, {"a", "b", "c"}, true, EraseAll, {}},
        {"declining keeps everything", 2, {"a", "b", "c"}, false, EraseAll, {"a", "b", "c"}},
        {"setting 1 frees ticked rows unasked", 1, {"a", "c"}, true, {}, {"b"}},
        {"setting 2 asks for ticked rows", 2, {"a", "c"}, true, EraseSelected, {"b"}},
        {"declining ticked rows keeps them", 2, {"b"}, false, EraseSelected, {"a", "b", "c"}},
        {"setting 0 frees all unasked", 0, {}, true, {}, {}},
        {"setting 0 frees ticked rows unasked", 0, {"b"}, true, {}, {"a", "c"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        freeAll();
        store(ThreeCells);
        NCalculatorText::State().CalcSettings.FreeConfirmation = row.confirmation;
        tick(row.ticked);
        prompts.questions.clear();
        prompts.confirmAnswer = row.answer;
        press(Button::FreeButton);
        EXPECT_EQ(prompts.questions, row.question.isEmpty() ? QStringList() : QStringList{row.question});
        EXPECT_EQ(storeNames(), row.remaining);
        EXPECT_EQ(shownNames(), row.remaining) << "the list is rebuilt";
        EXPECT_EQ(tickedNames(), row.answer ? QStringList() : row.ticked) << "declining keeps the ticks";
    }
}

TEST_F(MemoryWindowTest, FreeingTheLastCellsDisablesTheButtonsAndTheMemoryCommands)
{
    store(ThreeCells);
    NCalculatorText::State().CalcSettings.FreeConfirmation = 0;
    EXPECT_TRUE(frame->action(CalcCommand::MemorySave)->isEnabled());
    press(Button::FreeButton);
    EXPECT_FALSE(memory().button(Button::FreeButton)->isEnabled());
    EXPECT_FALSE(frame->action(CalcCommand::MemorySave)->isEnabled());
    EXPECT_FALSE(frame->action(CalcCommand::MemoryFree)->isEnabled());
}

TEST_F(MemoryWindowTest, InvertAfterSortingByValueDescendingFlipsEachRowsOwnTick)
{
    store({{u"a", 5}, {u"b", -2}, {u"c", 9}, {u"d", 0.5}, {u"e", 7}});
    tick({"a", "d"});
    memory().sortByColumn(CCalcMemorySnapshot::ValueColumn);
    memory().sortByColumn(CCalcMemorySnapshot::ValueColumn);
    ASSERT_EQ(shownNames(), (QStringList{"c", "e", "a", "d", "b"}));
    press(Button::InvertButton);
    EXPECT_EQ(tickedNames(), (QStringList{"c", "e", "b"}));
    press(Button::InvertButton);
    EXPECT_EQ(tickedNames(), (QStringList{"a", "d"}));
    press(Button::ClearButton);
    EXPECT_EQ(tickedNames(), QStringList());
}

TEST_F(MemoryWindowTest, ACalculationThatOnlyReadsACellRebuildsAndKeepsTheTicks)
{
    store(ThreeCells);
    tick({"b"});
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"b")->Include, 0) << "the ticks live in the list until a push";
    QSignalSpy rebuilt(&model(), &QAbstractItemModel::modelReset);

    frame->view()->loadText(QStringLiteral("Mem[a]+1"));
    frame->document()->Command(CmdCalculate);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(rebuilt.count(), 1);
    EXPECT_EQ(tickedNames(), QStringList{"b"});
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"b")->Include, 1) << "pushed to the store before the rebuild";

    frame->view()->loadText(QStringLiteral("1+1"));
    frame->document()->Command(CmdCalculate);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(rebuilt.count(), 1) << "no memory touched, no rebuild";
}

TEST_F(MemoryWindowTest, LoadingAMemoryFileKeepsTheTickOfACellItStoresInto)
{
    store(ThreeCells);
    tick({"a"});
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("cells.vcm"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QString text = QStringLiteral("\uFEFF8->Mem[a];\r\n9->Mem[z];\r\n");
        file.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }
    prompts.openAnswers.push_back(path);
    frame->document()->loadMemory();
    EXPECT_EQ(shownNames(), (QStringList{"a", "b", "c", "z"}));
    EXPECT_EQ(tickedNames(), QStringList{"a"});
    EXPECT_EQ(model().index(0, CCalcMemorySnapshot::ValueColumn).data().toString(), QStringLiteral("8"));
}

TEST_F(MemoryWindowTest, StatisticsUsesTheTickedRowsOrAllAndShowsItsBar)
{
    struct Row {
        const char* label;
        QStringList ticked;
        bool answer;
        bool asked;
        QString mean;  // empty: nothing computed
    };
    const Row rows[] = {
        {"none ticked: all rows", {}, true, false, "2.5"},
        {"one ticked, Yes: all rows", {"b"}, true, true, "2.5"},
        {"one ticked, No: nothing", {"b"}, false, true, ""},
        {"two ticked: those two", {"a", "b"}, true, false, "1.5"},
        {"three ticked: those three", {"b", "c", "d"}, true, false, "3"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        freshFrame();
        frame->showWithStoredPlacement();
        freeAll();
        store({{u"a", 1}, {u"b", 2}, {u"c", 3}, {u"d", 4}});
        tick(row.ticked);
        prompts.questions.clear();
        prompts.confirmAnswer = row.answer;
        press(Button::StatisticsButton);
        EXPECT_EQ(prompts.questions.size(), row.asked ? 1 : 0);
        if (row.asked) {
            EXPECT_EQ(prompts.questions.front(), QStringLiteral("Only one cell selected\nCalculate for all cells?"));
        }
        EXPECT_EQ(statistics().field(0)->text(), row.mean);
        EXPECT_EQ(frame->bar(CalcBars::Statistics)->isVisible(), !row.mean.isEmpty());
        EXPECT_EQ(tickedNames(), row.ticked) << "the ticks stay";
    }
}

// Header clicks in order, and the sort column and direction after the last.
TEST_F(MemoryWindowTest, HeaderClicksFollowTheDirectionRules)
{
    struct Row {
        const char* label;
        std::vector<int> clicks;
        Column column;
        bool ascending;
    };
    const Row rows[] = {
        {"at first by number, ascending", {}, CCalcMemorySnapshot::NumberColumn, true},
        {"the sort column again flips", {1}, CCalcMemorySnapshot::NumberColumn, false},
        {"ticks start descending", {0}, CCalcMemorySnapshot::IncludeColumn, false},
        {"ticks again: ascending", {0, 0}, CCalcMemorySnapshot::IncludeColumn, true},
        {"cell starts ascending", {2}, CCalcMemorySnapshot::CellColumn, true},
        {"cell again: descending", {2, 2}, CCalcMemorySnapshot::CellColumn, false},
        {"back to a column: ascending again", {2, 2, 3, 2}, CCalcMemorySnapshot::CellColumn, true},
        {"ticks again after another column: descending", {0, 0, 3, 0}, CCalcMemorySnapshot::IncludeColumn, false},
        {"value twice", {3, 3}, CCalcMemorySnapshot::ValueColumn, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        freshFrame();
        for (const int column : row.clicks)
            memory().sortByColumn(column);
        EXPECT_EQ(memory().sortColumn(), row.column);
        EXPECT_EQ(memory().sortAscending(row.column), row.ascending);
        EXPECT_EQ(memory().list()->header()->sortIndicatorSection(), row.column);
        EXPECT_EQ(memory().list()->header()->sortIndicatorOrder(),
                  row.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

TEST_F(MemoryWindowTest, AClickOnAHeadingSortsAndTheOrderSurvivesARebuild)
{
    frame->showWithStoredPlacement();
    store({{u"b", 1}, {u"a", 3}, {u"c", 2}});
    tick({"c"});
    QHeaderView* header = memory().list()->header();
    const auto clickHeading = [header](int column) {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    clickHeading(CCalcMemorySnapshot::CellColumn);
    clickHeading(CCalcMemorySnapshot::CellColumn);
    EXPECT_EQ(shownNames(), (QStringList{"c", "b", "a"}));
    store({{u"d", 0}});
    EXPECT_EQ(shownNames(), (QStringList{"d", "c", "b", "a"}));
    EXPECT_EQ(tickedNames(), QStringList{"c"});
    clickHeading(CCalcMemorySnapshot::IncludeColumn);
    EXPECT_EQ(nameAt(0), QStringLiteral("c")) << "ticked rows first";
    EXPECT_EQ(model().index(0, CCalcMemorySnapshot::NumberColumn).data().toString(), QStringLiteral("3"))
        << "N is the row's place in key order";
}

class MemorySaveTest : public MemoryWindowTest {
protected:
    QByteArray saved()
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QByteArray Utf16(const QString& text)
    {
        return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }

    QTemporaryDir directory;
    QString path = directory.filePath(QStringLiteral("saved.vcm"));
};

TEST_F(MemorySaveTest, SaveWritesTheTickedCellsOrEveryCell)
{
    struct Row {
        const char* label;
        QStringList ticked;
        QString text;
    };
    const Row rows[] = {
        {"ticked cells only", {"a", "c"}, QStringLiteral("\uFEFF1->Mem[a];\r\n-3.5->Mem[c];\r\n")},
        {"one ticked cell", {"b"}, QStringLiteral("\uFEFF0.10000000000000000555->Mem[b];\r\n")},
        {"nothing ticked: every cell",
         {},
         QStringLiteral("\uFEFF1->Mem[a];\r\n0.10000000000000000555->Mem[b];\r\n-3.5->Mem[c];\r\n")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        freshFrame();
        freeAll();
        store({{u"a", 1}, {u"b", 0.1}, {u"c", -3.5}});
        tick(row.ticked);
        prompts.saveRequests.clear();
        prompts.saveAnswers.push_back(path);
        press(Button::SaveButton);
        ASSERT_EQ(prompts.saveRequests.size(), 1u);
        EXPECT_EQ(prompts.saveRequests[0].InitialName, QStringLiteral("Memory 1"));
        EXPECT_EQ(saved(), Utf16(row.text));
        EXPECT_EQ(tickedNames(), row.ticked);
    }
}

TEST_F(MemorySaveTest, CancellingTheDialogWritesNothing)
{
    store(ThreeCells);
    press(Button::SaveButton);
    EXPECT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(MemoryWindowTest, AClickOnARowTicksEverySelectedRowAndNeverUnticks)
{
    frame->showWithStoredPlacement();
    store({{u"a", 1}, {u"b", 2}, {u"c", 3}, {u"d", 4}});
    QTreeView* list = memory().list();
    const auto cellCenter = [list, this](int row, int column) {
        return list->visualRect(model().index(row, column)).center();
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cellCenter(0, CCalcMemorySnapshot::CellColumn));
    EXPECT_EQ(tickedNames(), QStringList{"a"});
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      cellCenter(2, CCalcMemorySnapshot::ValueColumn));
    EXPECT_EQ(tickedNames(), (QStringList{"a", "b", "c"}));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cellCenter(1, CCalcMemorySnapshot::NumberColumn));
    EXPECT_EQ(tickedNames(), (QStringList{"a", "b", "c"})) << "a click never unticks";

    // The tick box of a row toggles that row alone.
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualRect(model().index(1, CCalcMemorySnapshot::IncludeColumn));
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_EQ(tickedNames(), (QStringList{"a", "c"}));

    // Space ticks and unticks the current row.
    list->setFocus();
    list->setCurrentIndex(model().index(3, CCalcMemorySnapshot::CellColumn));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(tickedNames(), (QStringList{"a", "c", "d"}));
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(tickedNames(), (QStringList{"a", "c"}));
}

TEST_F(MemoryWindowTest, TheListAndTheFiveButtonsStandWhereTheyBelong)
{
    const char* words[] = {"Free", "Save", "Statistics", "Invert", "Clear"};
    const int ids[] = {1068, 1085, 1089, 1097, 1051};
    frame->showWithStoredPlacement();
    QCoreApplication::processEvents();
    for (const QSize size : {QSize(400, 300), QSize(250, 140)}) {
        memory().resize(size);
        EXPECT_EQ(memory().list()->geometry(), QRect(0, 0, size.width() - 31, size.height()));
        for (int b = 0; b < CCalcMemory::ButtonCount; ++b) {
            SCOPED_TRACE(words[b]);
            QAbstractButton* button = memory().button(static_cast<Button>(b));
            EXPECT_EQ(button->geometry(), QRect(size.width() - 26, 28 * b, 24, 24));
            EXPECT_EQ(button->accessibleName(), QString::fromLatin1(words[b]));
            EXPECT_EQ(button->toolTip(), QString::fromLatin1(words[b]));
            EXPECT_EQ(button->objectName(), QStringLiteral("Control%1").arg(ids[b]));
            EXPECT_FALSE(button->icon().isNull());
            EXPECT_EQ(button->iconSize(), QSize(16, 16));
        }
    }
    const QStringList headings = {"Incl", "N", "Cell", "Value"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(model().headerData(c, Qt::Horizontal).toString(), headings[c]);
}

TEST_F(MemoryWindowTest, ValuesFollowTheNumberFormatAtOnce)
{
    store({{u"big", 1e21}, {u"tiny", -1.5e-7}});
    const auto valueAt = [this](int row) {
        return model().index(row, CCalcMemorySnapshot::ValueColumn).data().toString();
    };
    EXPECT_EQ(valueAt(0), QStringLiteral("1e+021"));
    EXPECT_EQ(valueAt(1), QStringLiteral("-1.4999999999999999321e-007"));
    NCalculatorText::State().CalcSettings.NotationCase = 1;
    frame->settingsNotifier().announce();
    EXPECT_EQ(valueAt(0), QStringLiteral("1E+021"));
    EXPECT_EQ(valueAt(1), QStringLiteral("-1.4999999999999999321E-007"));
    EXPECT_EQ(model().index(1, CCalcMemorySnapshot::NumberColumn).data().toString(), QStringLiteral("2"));
}

TEST_F(MemoryWindowTest, ARebuildKeepsTheScrolledPlace)
{
    frame->showWithStoredPlacement();
    storeNumbered(2000);
    QCoreApplication::processEvents();
    QScrollBar* scroll = memory().list()->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 500);
    scroll->setValue(500);
    frame->view()->loadText(QStringLiteral("Mem[c100001]"));
    frame->document()->Command(CmdCalculate);
    ASSERT_TRUE(CalculationApplied(*frame));
    QCoreApplication::processEvents();
    EXPECT_EQ(scroll->value(), 500);
}

TEST_F(MemoryWindowTest, ColumnWidthsAreStoredAndBadOnesGiveTheDefaults)
{
    const char* keys[] = {"IncludeWidth", "NumberWidth", "CellWidth", "ValueWidth"};
    std::array<int, 4> defaults{};
    for (int c = 0; c < 4; ++c) {
        defaults[c] = memory().defaultColumnWidth(static_cast<Column>(c));
        EXPECT_EQ(memory().list()->columnWidth(c), defaults[c]) << keys[c];
    }
    EXPECT_GT(defaults[CCalcMemorySnapshot::ValueColumn], defaults[CCalcMemorySnapshot::CellColumn]);
    EXPECT_GT(defaults[CCalcMemorySnapshot::CellColumn], defaults[CCalcMemorySnapshot::NumberColumn]);

    struct Row {
        const char* label;
        QVariant stored;
        bool kept;
    };
    const Row rows[] = {
        {"a width", 77, true}, {"text", QStringLiteral("wide"), false}, {"negative", -40, false},
        {"zero", 0, false},    {"beyond any screen", 99999, false},     {"a fraction", QStringLiteral("50.5"), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        frame.reset();
        {
            QSettings store = ProgramStore();
            store.clear();
            for (const char* key : keys)
                store.setValue(QStringLiteral("GUI/Memory/%1").arg(QLatin1String(key)), row.stored);
        }
        frame = makeFrame();
        frame->setPrompts(&prompts);
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(memory().list()->columnWidth(c), row.kept ? row.stored.toInt() : defaults[c]) << keys[c];
    }

    memory().list()->setColumnWidth(CCalcMemorySnapshot::CellColumn, 123);
    restartFrame();
    EXPECT_EQ(ProgramStore().value(QStringLiteral("GUI/Memory/CellWidth")).toInt(), 123);
    EXPECT_EQ(memory().list()->columnWidth(CCalcMemorySnapshot::CellColumn), 123);
}

TEST_F(MemoryWindowTest, TheNumberColumnWidensToShowItsLargestNumberWhole)
{
    const int initial = memory().list()->columnWidth(CCalcMemorySnapshot::NumberColumn);
    const QTreeView& list = *memory().list();
    struct Row {
        std::size_t cells;
        const char* largest;
    };
    for (const Row row : {Row{12, "88 "}, Row{12345, "88888 "}, Row{3, "88888 "}}) {
        freeAll();
        storeNumbered(row.cells);
        const int needed =
            Tevra::SampleColumnWidth(list, CCalcMemorySnapshot::NumberColumn, QString::fromLatin1(row.largest),
                                     Qt::AlignRight | Qt::AlignVCenter);
        EXPECT_EQ(list.columnWidth(CCalcMemorySnapshot::NumberColumn), std::max(initial, needed))
            << row.cells << " cells; it never narrows again";
    }
}

TEST_F(MemoryWindowTest, TheMemoryBarIsDockedOnTheRightAndVisibleAtFirstStart)
{
    frame->showWithStoredPlacement();
    QCoreApplication::processEvents();
    CCalcBar* bar = frame->bar(CalcBars::Memory);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_FALSE(bar->isFloating());
    EXPECT_EQ(frame->dockWidgetArea(bar), Qt::RightDockWidgetArea);
    EXPECT_EQ(bar->windowTitle(), QStringLiteral("Memory"));
    frame->refreshCommandStates();
    EXPECT_TRUE(frame->action(CalcCommand::ToggleMemory)->isChecked());

    // Ctrl+M in the list hides the bar, and it stays hidden after a restart.
    QTreeView* list = memory().list();
    ASSERT_NO_FATAL_FAILURE(focusList());
    QTest::keyClick(list, Qt::Key_M, Qt::ControlModifier);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(frame->action(CalcCommand::ToggleMemory)->isChecked());
    restartFrame();
    frame->showWithStoredPlacement();
    QCoreApplication::processEvents();
    EXPECT_FALSE(frame->bar(CalcBars::Memory)->isVisible());
}

TEST_F(MemoryWindowTest, CalculateFromTheListRunsTheEditorsStatement)
{
    frame->showWithStoredPlacement();
    store(ThreeCells);
    frame->view()->loadText(QStringLiteral("Mem[c]*2"));
    QTreeView* list = memory().list();
    ASSERT_NO_FATAL_FAILURE(focusList());
    QTest::keyClick(list, Qt::Key_Equal, Qt::ControlModifier);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(frame->view()->text(), QStringLiteral("Mem[c]*2=6"));
}

}  // namespace
