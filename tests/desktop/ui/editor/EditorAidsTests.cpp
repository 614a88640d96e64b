// What the editor offers beyond plain editing, in the program's own frame:
// the value of the statement at the caret in the status bar, the colours and
// the bracket pair, the statements of a run's records underlined and selected
// from the log, name completion, and the two View switches.
#include "support/FrameSupport.h"

#include "desktop/services/CalcCommands.h"
#include "desktop/services/QtText.h"
#include "core/settings/CalcSettings.h"
#include "desktop/ui/CCalcCmdReceiver.h"
#include "desktop/document/CCalcCalculation.h"
#include "desktop/document/CCalcDoc.h"
#include "core/engine/Random.h"
#include "core/memory/MemoryMap.h"
#include "desktop/ui/editor/CCalcCompletion.h"
#include "desktop/ui/editor/CCalcEditorAids.h"
#include "desktop/ui/editor/CCalcHighlighter.h"
#include "desktop/ui/editor/CCalcLivePreview.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcStatusBar.h"
#include "core/engine/EngineState.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

#include <functional>

namespace {

const QString Idle = Tevra::ToQString(CalcCommand::IdlePrompt);

using Mark = CCalcView::TextMark;
using Style = CCalcView::MarkStyle;
using NCalculatorText::TokenKind;

class EditorAids : public FrameTest {
protected:
    CCalcView& view() { return *frame->view(); }
    CCalcEditorAids& aids() { return *frame->editorAids(); }
    QString prompt() { return frame->calcStatusBar()->paneText(CCalcStatusBar::PromptPane); }

    // Types text at the end of what the editor holds, as the keyboard does.
    void type(const QString& text)
    {
        view().setFocus();
        view().setSelection(view().text().size(), view().text().size());
        QTest::keyClicks(&view(), text);
    }
    // The pane once the preview after the last key has run: the wait ends
    // when no preview is pending any more; its bound only guards against a
    // hang.
    QString promptAfterPause()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !aids().preview()->isPending(); }, 60000));
        QCoreApplication::processEvents();
        return prompt();
    }
    std::vector<Mark> findings() { return view().marks(CCalcView::MarkLayer::Findings); }
    QString marked(const Mark& mark) { return view().text().mid(mark.Start, mark.Length); }
};

TEST_F(EditorAids, ThePromptPaneShowsTheValueAtTheCaret)
{
    struct Row {
        const char* name;
        QString text;
        int caret;  // -1: the end
        QString shown;
    };
    const Row rows[] = {
        {"a sum", "2+3", -1, "= 5"},
        {"a failing statement", "1/0", -1, "Operation has singularity at 0"},
        {"the statement the caret stands in", "2*3; 10-4; 7", 6, "= 6"},
        {"a written result is not what is shown", "2*3 = 99", -1, "= 6"},
        {"no statement between two separators", "1;;2", 2, Idle},
        {"only a comment", "// nothing to calculate", -1, Idle},
        {"a value with a warning", "1e-200*1e-200", -1, "= 0  (Operation resulted in underflow, result accepted as 0)"},
        {"a series too long to preview", "sum(i,1,1e8,i)", -1, Idle},
    };
    for (const Row& row : rows) {
        view().loadText(row.text);
        view().setSelection(row.caret < 0 ? row.text.size() : row.caret, row.caret < 0 ? row.text.size() : row.caret);
        EXPECT_EQ(promptAfterPause(), row.shown) << row.name;
    }
}

TEST_F(EditorAids, TypingUpdatesTheValueAndWritesNothing)
{
    view().setFocus();
    type("2+3");
    EXPECT_EQ(promptAfterPause(), "= 5");
    type("*4");
    EXPECT_EQ(promptAfterPause(), "= 14");
    EXPECT_EQ(view().text(), "2+3*4");
    EXPECT_EQ(LogPanel(*frame)->rowCount(), 0);
}

TEST_F(EditorAids, APreviewLeavesMemoryRandomsResultAndUndoAlone)
{
    NCalculatorText::State().LastResult = 17;
    const std::vector<QString> statements = {"5->mem[x]", "mem[missing]+1", "rand", "1/0", "(rand+1)->mem[y]"};
    for (const QString& statement : statements) {
        view().loadText(QString());
        const NCalculatorText::CRandomGenerator random = NCalculatorText::State().RandomGenerator;
        const bool seeded = NCalculatorText::State().Seeded;
        type(statement);
        promptAfterPause();
        aids().preview()->refresh();
        EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 0u) << statement.toStdString();
        EXPECT_EQ(NCalculatorText::State().RandomGenerator.u, random.u) << statement.toStdString();
        EXPECT_EQ(NCalculatorText::State().RandomGenerator.w, random.w) << statement.toStdString();
        EXPECT_EQ(NCalculatorText::State().Seeded, seeded) << statement.toStdString();
        EXPECT_EQ(NCalculatorText::State().LastResult, 17) << statement.toStdString();
        EXPECT_EQ(LogPanel(*frame)->rowCount(), 0) << statement.toStdString();
        // Undo takes back the typing, and nothing else is left to undo.
        view().undo();
        EXPECT_EQ(view().text(), QString()) << statement.toStdString();
        EXPECT_FALSE(view().document()->isUndoAvailable()) << statement.toStdString();
    }
}

TEST_F(EditorAids, MenuPromptsStillTakeThePane)
{
    frame->show();
    type("2+3");
    ASSERT_EQ(promptAfterPause(), "= 5");
    frame->calcStatusBar()->showMessage("Show or hide the keypad");
    EXPECT_EQ(frame->calcStatusBar()->currentMessage(), "Show or hide the keypad");
    EXPECT_TRUE(frame->calcStatusBar()->findChild<QLabel*>("Pane0")->isHidden());
    frame->calcStatusBar()->clearMessage();
    EXPECT_FALSE(frame->calcStatusBar()->findChild<QLabel*>("Pane0")->isHidden());
    EXPECT_EQ(prompt(), "= 5");
}

TEST_F(EditorAids, TheLiveValueFollowsACalculationAndTheSettings)
{
    type("rslt*2");
    EXPECT_EQ(promptAfterPause(), "= 0");
    view().loadText("21; rslt*2");
    frame->document()->Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(view().text(), "21=21; rslt*2=42");
    view().setSelection(7, 7);
    EXPECT_EQ(promptAfterPause(), "= 84");
    NCalculatorText::State().CalcSettings.NotationCase = 1;
    view().loadText("1e300*10");
    view().setSelection(8, 8);
    EXPECT_EQ(promptAfterPause(), "= 1.0000000000000000525E+301");
    NCalculatorText::State().CalcSettings.NotationCase = 0;
}

TEST_F(EditorAids, TheSwitchesTurnTheAidsOffAndAreKept)
{
    QAction* live = frame->action(CalcCommand::LiveValue);
    QAction* colours = frame->action(CalcCommand::Highlighting);
    ASSERT_NE(live, nullptr);
    ASSERT_NE(colours, nullptr);
    EXPECT_TRUE(live->isChecked());
    EXPECT_TRUE(colours->isChecked());

    type("2+3");
    ASSERT_EQ(promptAfterPause(), "= 5");
    live->trigger();
    EXPECT_FALSE(live->isChecked());
    EXPECT_EQ(prompt(), Idle);
    type("+1");
    EXPECT_EQ(promptAfterPause(), Idle);

    colours->trigger();
    EXPECT_FALSE(colours->isChecked());
    EXPECT_FALSE(aids().highlighter()->isEnabled());
    type(" + si");
    EXPECT_FALSE(aids().completion()->isOffering());

    restartFrame();
    EXPECT_FALSE(frame->action(CalcCommand::LiveValue)->isChecked());
    EXPECT_FALSE(frame->action(CalcCommand::Highlighting)->isChecked());
    EXPECT_EQ(ProgramStore().value("GUI/Editor/LiveValue").toInt(), 0);
    EXPECT_EQ(ProgramStore().value("GUI/Editor/Highlighting").toInt(), 0);
    frame->action(CalcCommand::LiveValue)->trigger();
    type("2+3");
    EXPECT_EQ(promptAfterPause(), "= 5");
}

// The colour of each character of a text, as the highlighter gives it: one
// letter a kind ('n' number, 'f' function, 'k' keyword, 'm' memory name,
// 'o' operator, 'c' comment, 'r' result, '.' the text's own colour).
QString ColourMap(CCalcHighlighter& highlighter, const QString& text, const QPalette& palette)
{
    const std::pair<TokenKind, QChar> letters[] = {
        {TokenKind::Number, 'n'},   {TokenKind::Function, 'f'}, {TokenKind::Keyword, 'k'}, {TokenKind::MemoryName, 'm'},
        {TokenKind::Operator, 'o'}, {TokenKind::Comment, 'c'},  {TokenKind::Result, 'r'},
    };
    QString map(text.size(), '.');
    for (const QTextLayout::FormatRange& range : highlighter.formatsFor(0, static_cast<int>(text.size()))) {
        QChar letter = '?';
        for (const auto& [kind, name] : letters) {
            if (CCalcHighlighter::ColorOf(kind, palette) == range.format.foreground().color())
                letter = name;
        }
        for (int i = range.start; i < range.start + range.length; ++i)
            map[i] = letter;
    }
    return map;
}

TEST_F(EditorAids, EachKindOfTokenHasItsColour)
{
    struct Row {
        QString text;
        QString colours;
    };
    const Row rows[] = {
        {"2+3.5", "nonnn"},
        {"sin(1e-3)", "fff.nnnn."},
        {"tg(pi)*Rslt", "ff.kk.okkkk"},
        {"Mem[total]/2", "kkk.mmmmm.on"},
        {"1+1 = 2 // ok", "non.r.r.ccccc"},
        {"/* a */ 7", "ccccccc.n"},
        {"x^2 -> memory{y}", ".on.oo.kkkkkk.m."},
    };
    for (const Row& row : rows) {
        view().loadText(row.text);
        EXPECT_EQ(ColourMap(*aids().highlighter(), row.text, view().palette()), row.colours) << row.text.toStdString();
    }
}

TEST_F(EditorAids, ColoursDifferOnLightAndDarkPalettes)
{
    QPalette light;
    light.setColor(QPalette::Base, Qt::white);
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    for (const TokenKind kind : {TokenKind::Number, TokenKind::Function, TokenKind::Keyword, TokenKind::MemoryName,
                                 TokenKind::Operator, TokenKind::Comment, TokenKind::Result}) {
        const QColor onLight = CCalcHighlighter::ColorOf(kind, light);
        const QColor onDark = CCalcHighlighter::ColorOf(kind, dark);
        EXPECT_LT(onLight.lightness(), 140) << static_cast<int>(kind);
        EXPECT_GT(onDark.lightness(), 110) << static_cast<int>(kind);
    }
    EXPECT_FALSE(CCalcHighlighter::ColorOf(TokenKind::Name, light).isValid());
}

TEST_F(EditorAids, TheBracketAtTheCaretAndItsPartnerAreMarked)
{
    struct Row {
        QString text;
        int caret;
        std::vector<int> marked;
    };
    const Row rows[] = {
        {"(1+2)*3", 0, {0, 4}},       {"(1+2)*3", 5, {0, 4}}, {"sin(cos(1))", 8, {7, 9}},
        {"sin(cos(1))", 11, {3, 10}}, {"1+2", 1, {}},         {"(1; 2)", 0, {}},
    };
    for (const Row& row : rows) {
        view().loadText(row.text);
        view().setSelection(row.caret, row.caret);
        std::vector<int> marked;
        for (const Mark& mark : view().marks(CCalcView::MarkLayer::Brackets))
            marked.push_back(mark.Start);
        EXPECT_EQ(marked, row.marked) << row.text.toStdString() << " at " << row.caret;
    }
}

TEST_F(EditorAids, ARunUnderlinesTheStatementsOfItsRecordsUntilAnEdit)
{
    struct Row {
        const char* name;
        QString text;
        std::vector<std::pair<Style, QString>> marks;
    };
    const Row rows[] = {
        {"an error", "1; 2/0; 3", {{Style::ErrorUnderline, "2/0"}}},
        {"a warning then an error",
         "mem[a]; 1/0",
         {{Style::WarningUnderline, "mem[a]=0"}, {Style::Spot, "mem[a]"}, {Style::ErrorUnderline, "1/0"}}},
        {"no record", "1+1", {}},
    };
    for (const Row& row : rows) {
        NCalculatorText::ResetProcessState();
        view().loadText(row.text);
        frame->document()->Command(CmdCalculateAll);
        ASSERT_TRUE(CalculationApplied(*frame));
        std::vector<std::pair<Style, QString>> shown;
        for (const Mark& mark : findings())
            shown.emplace_back(mark.Style, marked(mark));
        EXPECT_EQ(shown, row.marks) << row.name;
        type(" ");
        for (const Mark& mark : findings())
            EXPECT_EQ(mark.Style, Style::Plain) << row.name << ": an edit clears the marks";
    }
}

TEST_F(EditorAids, ALogRowSelectsItsStatement)
{
    view().loadText("mem[a]; 2*2; 1/0; 3");
    frame->document()->Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*frame));
    CCalcLog* log = LogPanel(*frame);
    ASSERT_EQ(log->rowCount(), 2);
    QTreeWidget* list = log->list();
    const auto clickRow = [list](int row) {
        const QRect at = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at.center());
    };
    frame->show();
    LogBar(*frame)->show();
    QCoreApplication::processEvents();
    clickRow(1);
    EXPECT_EQ(view().selectedText(), "1/0");
    clickRow(0);
    EXPECT_EQ(view().selectedText(), "mem[a]=0");

    // An edit in front moves the statement along; Enter on a row selects it
    // and gives the editor the focus.
    view().setSelection(0, 0);
    QTest::keyClicks(&view(), "  ");
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(1));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(view().selectedText(), "1/0");
    EXPECT_EQ(view().selectionStart(), 2 + QString("mem[a]=0; 2*2=4; ").size());
}

TEST_F(EditorAids, ALongDocumentScrollsTheSelectedStatementIntoView)
{
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QString::number(i) + ";\n";
    text += "ln(0)";
    view().loadText(text);
    frame->show();
    frame->document()->Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*frame));
    view().setSelection(0, 0);
    view().scrollToPosition(0);
    ASSERT_TRUE(aids().selectReport(0));
    EXPECT_EQ(view().selectedText(), "ln(0)");
    EXPECT_TRUE(view().viewport()->rect().contains(view().characterRect(view().selectionStart()).center()));
    EXPECT_FALSE(aids().selectReport(1));
}

TEST_F(EditorAids, TypingALetterOffersNamesAndTabTakesOne)
{
    struct Row {
        const char* name;
        std::function<void()> setUp;
        QString typed;
        QString firstOffered;  // empty: nothing offered
        QString afterTab;
    };
    const Row rows[] = {
        {"a function", [] {}, "1+si", "sign", "1+sign("},
        {"in upper case", [] { NCalculatorText::State().CalcSettings.NotationCase = 1; }, "COT", "COT", "COT("},
        {"East names", [] {}, "ct", "ctg", "ctg("},
        {"without bracket", [] { NCalculatorText::State().CalcSettings.AppendFunction = 0; }, "lo", "log", "log"},
        {"the memory keyword", [] {}, "3->me", "Mem", "3->Mem["},
        {"digits", [] {}, "123", "", "123"},
        {"an exponent", [] {}, "1e", "", "1e"},
        {"a comment", [] {}, "// si", "", "// si"},
    };
    for (const Row& row : rows) {
        NCalculatorText::State().CalcSettings = Tevra::CCalcSettings();
        row.setUp();
        view().loadText(QString());
        type(row.typed);
        CCalcCompletion& completion = *aids().completion();
        if (row.firstOffered.isEmpty()) {
            EXPECT_FALSE(completion.isOffering()) << row.name;
        } else {
            ASSERT_TRUE(completion.isOffering()) << row.name;
            EXPECT_EQ(completion.list()->item(0)->text(), row.firstOffered) << row.name;
            QTest::keyClick(&view(), Qt::Key_Tab);
        }
        EXPECT_EQ(view().text(), row.afterTab) << row.name;
    }
    NCalculatorText::State().CalcSettings = Tevra::CCalcSettings();
}

TEST_F(EditorAids, InsideTheMemoryBracketsTheCellsAreOffered)
{
    view().loadText("1->mem[alpha]; 2->mem[alpine]; 3->mem[beta]");
    frame->document()->Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*frame));
    view().loadText(QString());
    type("Mem[al");
    CCalcCompletion& completion = *aids().completion();
    ASSERT_TRUE(completion.isOffering());
    ASSERT_EQ(completion.list()->count(), 2);
    EXPECT_EQ(completion.list()->item(0)->text(), "alpha");
    EXPECT_EQ(completion.list()->item(1)->text(), "alpine");
    QTest::keyClick(&view(), Qt::Key_Down);
    QTest::keyClick(&view(), Qt::Key_Return);
    EXPECT_EQ(view().text(), "Mem[alpine]");
    EXPECT_FALSE(completion.isOffering());

    // The keyword taken from the list goes on to the cell names.
    view().loadText(QString());
    type("me");
    ASSERT_TRUE(completion.isOffering());
    QTest::keyClick(&view(), Qt::Key_Enter);
    EXPECT_EQ(view().text(), "Mem[");
    ASSERT_TRUE(completion.isOffering());
    EXPECT_EQ(completion.list()->count(), 3);
}

// The list belongs to the editor and goes with it: taking the window apart
// while the list is open (closing it, or the program ending) touches nothing
// of the editor that is already gone. The sanitizer build sees any such
// touch; here the next window must work as the first did.
TEST_F(EditorAids, TheWindowGoesWithTheListOpen)
{
    for (const bool closedFirst : {true, false}) {
        view().loadText(QString());
        type("co");
        ASSERT_TRUE(aids().completion()->isOffering());
        QPointer<QListWidget> list = aids().completion()->list();
        if (closedFirst)
            restartFrame();
        else {
            frame.reset();
            frame = makeFrame();
            frame->setPrompts(&prompts);
        }
        EXPECT_TRUE(list.isNull()) << "the list went with its editor";
        type("si");
        ASSERT_TRUE(aids().completion()->isOffering());
        QTest::keyClick(&view(), Qt::Key_Tab);
        EXPECT_EQ(view().text(), "sign(");
    }
}

TEST_F(EditorAids, EscapeOrACaretMoveClosesTheList)
{
    CCalcCompletion& completion = *aids().completion();
    type("co");
    ASSERT_TRUE(completion.isOffering());
    QTest::keyClick(&view(), Qt::Key_Escape);
    EXPECT_FALSE(completion.isOffering());
    EXPECT_EQ(view().text(), "co");
    type("s");
    ASSERT_TRUE(completion.isOffering());
    QTest::keyClick(&view(), Qt::Key_Home);
    EXPECT_FALSE(completion.isOffering());
    EXPECT_EQ(view().position(), 0);
    // Typing narrows the list, a character no name holds closes it.
    view().setSelection(3, 3);
    type("e");
    ASSERT_TRUE(completion.isOffering());
    EXPECT_EQ(completion.list()->item(0)->text(), "cosec");
    type("(");
    EXPECT_FALSE(completion.isOffering());
    EXPECT_EQ(view().text(), "cose(");
    // A name typed out whole leaves nothing to offer.
    view().loadText(QString());
    type("cosh");
    EXPECT_FALSE(completion.isOffering());
}

// The helpers hung on the editor reach into it as they go (the completion
// takes back its key interceptor): each must go while the editor is whole,
// not after its members are gone. An editor with its list open is destroyed,
// and each helper looks at what the editor still is when it goes.
TEST(EditorDestruction, TheHelpersGoWhileTheEditorIsWhole)
{
    auto* view = new CCalcView;
    auto* aids = new CCalcEditorAids(view);
    aids->completion()->setEnabled(true);
    view->show();
    view->setFocus();
    QTest::keyClicks(view, QStringLiteral("1+si"));
    ASSERT_TRUE(aids->completion()->isOffering());

    struct Row {
        const char* name;
        QObject* helper;
        bool wasWhole = false;
        bool gone = false;
    };
    Row rows[] = {
        {"the aids", aids},
        {"the completion", aids->completion()},
        {"the preview", aids->preview()},
        {"the highlighter", aids->highlighter()},
    };
    for (Row& row : rows) {
        QObject::connect(row.helper, &QObject::destroyed, [&row, view] {
            row.gone = true;
            row.wasWhole = qobject_cast<CCalcView*>(static_cast<QObject*>(view)) != nullptr;
        });
    }
    delete view;
    for (const Row& row : rows) {
        EXPECT_TRUE(row.gone) << row.name;
        EXPECT_TRUE(row.wasWhole) << row.name;
    }
}

TEST_F(EditorAids, WhileACalculationRunsTheAidsWaitAndItsRecordsAreMarkedAfter)
{
    // Far more terms than a run ends within: it runs until cancelled.
    const QString endless = "sum(i,0e17,1e17,10,i)";
    frame->show();
    view().loadText("3->mem[cell]; 1+1; " + endless);
    frame->document()->Command(CmdCalculateAll);
    ASSERT_TRUE(frame->document()->isCalculating());
    // The memory is the calculation's: no names are offered from it, and
    // the value at the caret waits.
    aids().completion()->offer();
    EXPECT_FALSE(aids().completion()->isOffering());
    const QString shown = prompt();
    aids().preview()->refresh();
    EXPECT_EQ(prompt(), shown);

    frame->document()->cancelCalculation();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !frame->document()->isCalculating(); }, 10000));
    ASSERT_EQ(findings().size(), 1u);
    EXPECT_EQ(findings()[0].Style, Style::ErrorUnderline);
    EXPECT_EQ(marked(findings()[0]), endless);
    // A preview after the cancel is not cancelled itself.
    view().setSelection(16, 16);
    EXPECT_EQ(promptAfterPause(), "= 2");
    view().loadText(QString());
    type("mem[ce");
    EXPECT_TRUE(aids().completion()->isOffering());
}

}  // namespace
