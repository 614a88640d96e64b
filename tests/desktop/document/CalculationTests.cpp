// The desktop's calculation on its worker thread: the window answers while a
// statement that would never end runs, the editor and the commands that would
// touch its state wait, the "Calculating…" bar offers Cancel (and Escape),
// and closing the window asks to cancel first.
#include "support/FrameSupport.h"

#include "desktop/services/CalcCommands.h"
#include "desktop/document/CCalcCalculation.h"
#include "desktop/document/CCalcDoc.h"
#include "core/engine/Diagnostics.h"
#include "core/memory/MemoryMap.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcBusyBar.h"
#include "desktop/frame/CCalcToolBar.h"
#include "desktop/ui/log/CCalcLog.h"
#include "core/engine/EngineState.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <string>

namespace {

using namespace CalcCommand;

// A statement whose term count keeps the engine busy for ever.
const QString EndlessStatement = QStringLiteral("sum(i,0e17,1e17,10,i)");
// How long a test waits for something that happens within moments; only a
// fault makes it wait that long.
constexpr int PatienceMilliseconds = 10000;

class CalculationInFrame : public FrameTest {
protected:
    void TearDown() override
    {
        // A test that failed half-way leaves nothing running for the next.
        frame->document()->cancelCalculation();
        frame->document()->calculation()->waitForFinished(PatienceMilliseconds);
        FrameTest::TearDown();
    }

    // Starts the endless statement with the caret at caret.
    void startEndless(const QString& text, int caret)
    {
        frame->show();
        frame->view()->loadText(text);
        frame->view()->setSelection(caret, caret);
        frame->action(Calculate)->trigger();
        ASSERT_TRUE(frame->document()->isCalculating());
    }

    bool waitUntilDone()
    {
        return QTest::qWaitFor([this] { return !frame->document()->isCalculating(); }, PatienceMilliseconds);
    }

    QStringList logDescriptions() const
    {
        QStringList descriptions;
        QTreeWidget* list = LogPanel(*frame)->list();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            descriptions.append(list->topLevelItem(i)->text(list->columnCount() - 1));
        return descriptions;
    }
};

TEST_F(CalculationInFrame, TheWindowAnswersWhileItRunsAndCancelStopsIt)
{
    startEndless(QStringLiteral("2*3=6;") + EndlessStatement, 8);
    // Events are processed while it runs: the bar shows after its delay.
    EXPECT_FALSE(frame->busyBar()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([this] { return frame->busyBar()->isVisible(); }, PatienceMilliseconds));
    EXPECT_TRUE(frame->document()->isCalculating());
    EXPECT_EQ(frame->busyBar()->cancelButton()->accessibleName(), QStringLiteral("Cancel"));

    QTest::mouseClick(frame->busyBar()->cancelButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntilDone());
    EXPECT_FALSE(frame->busyBar()->isVisible());
    // The text stays as it was, the caret where it was (as after any failing
    // statement), and
    // the log holds the one cancel record.
    EXPECT_EQ(frame->view()->text(), QStringLiteral("2*3=6;") + EndlessStatement);
    EXPECT_EQ(frame->view()->position(), 8);
    EXPECT_EQ(logDescriptions(), QStringList{QStringLiteral("Calculation cancelled")});
}

TEST_F(CalculationInFrame, EscapeCancelsFromTheEditorAndFromAPanel)
{
    const std::vector<std::pair<const char*, std::function<QWidget*()>>> rows = {
        {"editor", [this] { return static_cast<QWidget*>(frame->view()); }},
        {"log", [this] { return static_cast<QWidget*>(LogPanel(*frame)->list()); }},
    };
    for (const auto& [where, target] : rows) {
        SCOPED_TRACE(where);
        startEndless(EndlessStatement, 0);
        QWidget* focus = target();
        focus->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(focus->window()));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        ASSERT_TRUE(waitUntilDone());
        EXPECT_EQ(logDescriptions(), QStringList{QStringLiteral("Calculation cancelled")});
        EXPECT_EQ(frame->view()->text(), EndlessStatement);
    }
}

TEST_F(CalculationInFrame, TheTextTakesNoEditWhileItRuns)
{
    startEndless(EndlessStatement, 0);
    const std::vector<std::pair<const char*, std::function<void()>>> edits = {
        {"typed", [this] { QTest::keyClicks(frame->view(), QStringLiteral("99")); }},
        {"deleted", [this] { QTest::keyClick(frame->view(), Qt::Key_Delete); }},
        {"replaced", [this] { frame->view()->replaceSelection(QStringLiteral("1+1")); }},
        {"sent by a window", [this] { frame->document()->InsertText(u"7"); }},
        {"undone", [this] { frame->view()->undo(); }},
    };
    for (const auto& [what, edit] : edits) {
        SCOPED_TRACE(what);
        edit();
        EXPECT_EQ(frame->view()->text(), EndlessStatement);
    }
    frame->document()->cancelCalculation();
    ASSERT_TRUE(waitUntilDone());
    // Afterwards the editor takes edits again.
    frame->view()->setSelection(0, 0);
    QTest::keyClicks(frame->view(), QStringLiteral("1"));
    EXPECT_EQ(frame->view()->text(), QStringLiteral("1") + EndlessStatement);
}

TEST_F(CalculationInFrame, CommandsThatTouchItsStateWaitForIt)
{
    NCalculatorText::State().MemoryMap.GetOrCreate(u"a") = 1;
    frame->document()->noticeMemoryChange();
    startEndless(EndlessStatement, 0);
    for (const Info& info : Commands()) {
        if (!info.WaitsForCalculation)
            continue;
        SCOPED_TRACE(info.Command);
        EXPECT_FALSE(frame->action(info.Command)->isEnabled());
        // A trigger that reaches the action all the same does nothing.
        frame->action(info.Command)->trigger();
    }
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_TRUE(prompts.openRequests.empty());
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 1u);
    // What only reads the text stays available, and so does Exit.
    for (const int id : {FileSave, AppExit})
        EXPECT_TRUE(frame->action(id)->isEnabled()) << id;
    EXPECT_FALSE(frame->toolBar()->unitsList()->isEnabled());

    frame->document()->cancelCalculation();
    ASSERT_TRUE(waitUntilDone());
    for (const int id : {FileNew, MemoryLoad, MemoryFree, CalculateAll, EditPaste})
        EXPECT_TRUE(frame->action(id)->isEnabled()) << id;
    EXPECT_TRUE(frame->toolBar()->unitsList()->isEnabled());
}

TEST_F(CalculationInFrame, ClosingAsksToCancelFirst)
{
    startEndless(EndlessStatement, 0);
    prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;

    // No: the window stays and the calculation goes on.
    prompts.confirmAnswer = false;
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(prompts.questions, QStringList{QStringLiteral("A calculation is running.\nCancel it and exit?")});
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->document()->isCalculating());

    // Yes: it is cancelled, and then the window closes as it always does.
    prompts.confirmAnswer = true;
    EXPECT_TRUE(frame->close());
    EXPECT_FALSE(frame->document()->isCalculating());
    EXPECT_EQ(logDescriptions(), QStringList{QStringLiteral("Calculation cancelled")});
}

TEST_F(CalculationInFrame, AQuickCalculationIsAppliedBeforeTheCommandReturns)
{
    frame->show();
    const struct {
        const char* Text;
        int Caret;
        const char* After;
    } rows[] = {
        {"6*7", 0, "6*7=42"},
        {"1;2*2", 2, "1;2*2=4"},
        {"1/0", 0, "1/0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        frame->view()->loadText(QString::fromUtf8(row.Text));
        frame->view()->setSelection(row.Caret, row.Caret);
        frame->action(Calculate)->trigger();
        EXPECT_FALSE(frame->document()->isCalculating());
        EXPECT_EQ(frame->view()->text(), QString::fromUtf8(row.After));
    }
}

TEST_F(CalculationInFrame, ALaterCalculationStartsAfreshAfterACancel)
{
    startEndless(EndlessStatement, 0);
    frame->document()->cancelCalculation();
    ASSERT_TRUE(waitUntilDone());
    frame->view()->loadText(QStringLiteral("5->Mem[b];Mem[b]+1"));
    frame->action(CalculateAll)->trigger();
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(frame->view()->text(), QStringLiteral("5->Mem[b]=5;Mem[b]+1=6"));
    EXPECT_TRUE(logDescriptions().isEmpty());
}

}  // namespace
