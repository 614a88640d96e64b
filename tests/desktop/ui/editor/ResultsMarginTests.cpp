// The results margin and Copy Value, in the program's own frame: every
// statement's value beside its last line, worked out in a sandbox while the
// user types, read by assistive technology as the list "Results"; the value
// at the caret copied at full precision.
#include "support/FrameSupport.h"

#include "core/engine/EngineState.h"
#include "core/engine/Random.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/frame/CCalcMainFrame.h"
#include "desktop/frame/CCalcStatusBar.h"
#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/ui/CCalcCmdReceiver.h"
#include "desktop/ui/editor/CCalcEditorAids.h"
#include "desktop/ui/editor/CCalcResultsMargin.h"
#include "desktop/ui/editor/CCalcView.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

namespace {

// Long enough for any run of these small texts on a busy machine: it only
// guards against a hang.
constexpr int Patience = 30000;

// A text and the stale marks it shows: "<dimmed text> <tooltip>".
struct StaleRow {
    QString Text;
    QStringList Tips;
};

class ResultsMargin : public FrameTest {
protected:
    // A frame on the screen with room for the texts below: the margin shows
    // the statements that are on the screen.
    std::unique_ptr<CCalcMainFrame> makeFrame() override
    {
        auto made = std::make_unique<CCalcMainFrame>();
        for (const CalcCommand::Id bar :
             {CalcCommand::ToggleKeypad, CalcCommand::ToggleLog, CalcCommand::ToggleMemory}) {
            if (made->action(bar) != nullptr && made->action(bar)->isChecked())
                made->action(bar)->trigger();
        }
        made->resize(1000, 800);
        made->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(made.get()));
        return made;
    }
    CCalcView& view() { return *frame->view(); }
    CCalcEditorAids& aids() { return *frame->editorAids(); }
    CCalcResultsMargin& margin() { return *aids().resultsMarginWidget(); }

    // The margin's entries once it has caught up with the text: "line:text",
    // with "!" in front of a failure.
    std::vector<std::string> shown()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return margin().isUpToDate(); }, Patience));
        QCoreApplication::processEvents();
        std::vector<std::string> entries;
        for (const CCalcResultsMargin::Item& item : margin().items())
            entries.push_back(std::to_string(item.Line) + ":" + (item.Failed ? "!" : "") + item.Text.toStdString());
        return entries;
    }
};

TEST_F(ResultsMargin, EachStatementShowsItsValueBesideItsLastLine)
{
    struct Row {
        const char* name;
        QString text;
        std::vector<std::string> shown;
    };
    const Row rows[] = {
        {"one value a line", "2+3;\n10*4;\n", {"1:5", "2:40"}},
        {"cells flow downwards", "700->mem[rent]; // rent\nmem[rent]*2", {"1:700", "2:1400"}},
        {"not a statement", "1 = 2 = 3", {"1:!Syntax error"}},
        {"a failure goes on with the next", "1/0;\nrslt+1", {"1:!Operation has singularity at 0", "2:1"}},
        {"a statement over two lines shows at its last", "1+\n2", {"2:3"}},
        {"two statements on one line share it", "1; 2", {"1:1; 2"}},
        {"a written result is not what is shown", "2*3 = 99", {"1:6"}},
        {"comments only", "// nothing", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        view().loadText(row.text);
        EXPECT_EQ(shown(), row.shown);
        EXPECT_EQ(view().text(), row.text);
    }
}

TEST_F(ResultsMargin, TypingChangesEveryDependentValueAndNothingReal)
{
    NCalculatorText::State().LastResult = 17;
    const NCalculatorText::CRandomGenerator random = NCalculatorText::State().RandomGenerator;
    view().loadText("700->mem[rent];\n250->mem[food];\nmem[rent]+mem[food];\nrslt*12;\nrand");
    const std::vector<std::string> before = shown();
    ASSERT_EQ(before.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(before.begin(), before.begin() + 4),
              (std::vector<std::string>{"1:700", "2:250", "3:950", "4:11400"}));
    view().setFocus();
    view().setSelection(1, 2);
    QTest::keyClicks(&view(), "5");
    const std::vector<std::string> after = shown();
    EXPECT_EQ(after, (std::vector<std::string>{"1:750", "2:250", "3:1000", "4:12000", before[4]}));
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 0u);
    EXPECT_EQ(NCalculatorText::State().LastResult, 17);
    EXPECT_EQ(NCalculatorText::State().RandomGenerator.u, random.u);
    EXPECT_EQ(LogPanel(*frame)->rowCount(), 0);
}

TEST_F(ResultsMargin, ACalculationGivesTheSandboxItsCells)
{
    view().loadText("mem[x]*2");
    EXPECT_EQ(shown(), std::vector<std::string>{"1:0"});
    view().loadText("21->mem[x]");
    frame->document()->Command(CmdCalculateAll);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !frame->document()->isCalculating(); }, Patience));
    view().loadText("mem[x]*2");
    EXPECT_EQ(shown(), std::vector<std::string>{"1:42"});
}

TEST_F(ResultsMargin, AssistiveTechnologyReadsTheListResults)
{
    view().loadText("2+3;\n1/0");
    const std::vector<std::string> entries = shown();
    ASSERT_EQ(entries.size(), 2u);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&margin());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), "Results");
    ASSERT_EQ(list->childCount(), 2);
    EXPECT_EQ(list->child(0)->role(), QAccessible::ListItem);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), "Line 1: 5");
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), "Line 2: Operation has singularity at 0");
    EXPECT_EQ(list->indexOfChild(list->child(1)), 1);
    view().loadText("7");
    shown();
    EXPECT_EQ(list->childCount(), 1);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), "Line 1: 7");
}

TEST_F(ResultsMargin, TheSwitchHidesTheMarginAndIsKept)
{
    QAction* toggle = frame->action(CalcCommand::ResultsMargin);
    ASSERT_NE(toggle, nullptr);
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_FALSE(margin().isHidden());
    const int withMargin = view().viewport()->width();
    toggle->trigger();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_TRUE(margin().isHidden());
    EXPECT_GT(view().viewport()->width(), withMargin);
    restartFrame();
    EXPECT_FALSE(frame->action(CalcCommand::ResultsMargin)->isChecked());
    EXPECT_EQ(ProgramStore().value("GUI/Editor/ResultsMargin").toInt(), 0);
    frame->action(CalcCommand::ResultsMargin)->trigger();
    view().loadText("6*7");
    EXPECT_EQ(shown(), std::vector<std::string>{"1:42"});
}

TEST_F(ResultsMargin, WrittenResultsThatChangedAreDimmedWithTheNewValue)
{
    struct Row {
        const char* name;
        QString text;
        std::vector<std::pair<QString, QString>> stale;  // the dimmed text and its tooltip
    };
    const QString now = "Changed since it was calculated: now ";
    const Row rows[] = {
        {"fresh results", "2+3 = 5;\n2*3=6 // six", {}},
        {"a changed value", "2+3 = 5;\n2*3 = 7", {{"= 7", now + "6"}}},
        {"a statement that fails now", "1/0 = 4", {{"= 4", now + "Operation has singularity at 0"}}},
        {"written in full, read back exactly",
         "0.1+0.2 = 0.30000000000000004441;\n0.1+0.2 = 0.3",
         {{"= 0.3", now + "0.30000000000000004441"}}},
        {"no result written", "2+3", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        view().loadText(row.text);
        shown();
        std::vector<std::pair<QString, QString>> stale;
        for (const CCalcView::TextMark& mark : view().marks(CCalcView::MarkLayer::Stale)) {
            EXPECT_EQ(mark.Style, CCalcView::MarkStyle::Dimmed);
            stale.emplace_back(view().text().mid(mark.Start, mark.Length), margin().staleToolTipAt(mark.Start + 1));
        }
        EXPECT_EQ(stale, row.stale);
        EXPECT_EQ(view().text(), row.text);
    }
}

TEST_F(ResultsMargin, StaleMarksFollowEditsAndCalculations)
{
    view().loadText("1->mem[a];\nmem[a]+1 = 2;\n1/0;\nmem[a]*10 = 10");
    shown();
    EXPECT_TRUE(view().marks(CCalcView::MarkLayer::Stale).empty());
    // A changed input: both written results below it are stale.
    view().setSelection(0, 1);
    view().replaceSelection("3");
    shown();
    EXPECT_EQ(view().marks(CCalcView::MarkLayer::Stale).size(), 2u);
    // Calculate all stops at the failure: the result above it is fresh, the
    // one below it was not calculated again and stays marked.
    frame->document()->Command(CmdCalculateAll);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !frame->document()->isCalculating(); }, Patience));
    shown();
    const auto& marks = view().marks(CCalcView::MarkLayer::Stale);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(view().text().mid(marks[0].Start, marks[0].Length), "= 10");
    EXPECT_EQ(margin().staleToolTipAt(marks[0].Start), "Changed since it was calculated: now 30");
}

TEST_F(ResultsMargin, CopyValueCopiesTheValueAtTheCaretInFull)
{
    struct Row {
        const char* name;
        QString text;
        int caret;
        QString copied;
    };
    NCalculatorText::State().LastResult = 2.5;
    const Row rows[] = {
        {"the statement at the caret", "1;0.1+0.2;3", 4, "0.30000000000000004441"},
        {"not the written result", "2*3 = 99", 0, "6"},
        {"no statement: the last result", "1;;2", 2, "2.5"},
        {"a failing statement: the last result", "1/0", 0, "2.5"},
        {"a store changes nothing", "9->mem[q]", 0, "9"},
    };
    QAction* copy = frame->action(CalcCommand::CopyValue);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->shortcut(), QKeySequence("Ctrl+Shift+C"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QGuiApplication::clipboard()->clear();
        view().loadText(row.text);
        view().setSelection(row.caret, row.caret);
        copy->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), row.copied);
        EXPECT_EQ(view().text(), row.text);
    }
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 0u);
}

TEST_F(ResultsMargin, FewerDigitsShortenWhatIsShownButNotWhatIsCopiedOrKept)
{
    auto calculateAll = [this](const QString& text) {
        view().loadText(text);
        frame->document()->Command(CmdCalculateAll);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !frame->document()->isCalculating(); }, Patience));
        return view().text();
    };
    const auto staleTips = [this] {
        shown();
        QStringList tips;
        for (const CCalcView::TextMark& mark : view().marks(CCalcView::MarkLayer::Stale))
            tips << view().text().mid(mark.Start, mark.Length) + " " + margin().staleToolTipAt(mark.Start);
        return tips;
    };
    NCalculatorText::State().CalcSettings.DigitsInResults = 15;
    frame->settingsNotifier().announce();

    EXPECT_EQ(calculateAll("0.1+0.2->mem[x]"), "0.1+0.2->mem[x]=0.3");
    EXPECT_EQ(shown(), std::vector<std::string>{"1:0.3"});
    EXPECT_TRUE(staleTips().isEmpty()) << "a result written with the digits asked for is fresh";
    EXPECT_EQ(frame->calcStatusBar()->paneText(CCalcStatusBar::ResultPane), "Rslt=0.3");
    view().setSelection(0, 0);
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return frame->calcStatusBar()->paneText(CCalcStatusBar::PromptPane) == "= 0.3"; }, Patience));
    // What is kept and copied is the value in full.
    EXPECT_EQ(NCalculatorText::State().LastResult, 0.1 + 0.2);
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Find(u"x")->Value, 0.1 + 0.2);
    QGuiApplication::clipboard()->clear();
    frame->action(CalcCommand::CopyValue)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "0.30000000000000004441");

    NCalculatorText::State().CalcSettings.TrigonometricUnits = 1;
    EXPECT_EQ(calculateAll("sin(30)"), "sin(30)=0.5");
    NCalculatorText::State().CalcSettings.TrigonometricUnits = 0;

    // Written in full or with the digits asked for, a result is fresh; one
    // that no longer rounds to its value is stale, with the value as shown.
    const StaleRow stale[] = {
        {"0.1+0.2 = 0.30000000000000004441", {}},
        {"0.1+0.2 = 0.3", {}},
        {"0.1+0.2 = 0.30000000000001", {"= 0.30000000000001 Changed since it was calculated: now 0.3"}},
        {"1/3 = 0.333", {"= 0.333 Changed since it was calculated: now 0.333333333333333"}}};
    for (const StaleRow& row : stale) {
        view().loadText(row.Text);
        EXPECT_EQ(staleTips(), row.Tips) << row.Text.toStdString();
    }

    // Back to every digit: the margin follows at once.
    NCalculatorText::State().CalcSettings.DigitsInResults = 20;
    frame->settingsNotifier().announce();
    view().loadText("0.1+0.2");
    EXPECT_EQ(shown(), std::vector<std::string>{"1:0.30000000000000004441"});
}

}  // namespace
