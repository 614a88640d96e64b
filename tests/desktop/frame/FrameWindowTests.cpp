// The main frame: menus and accelerators from the command table, the
// calculate keys as real key presses, the status panes, the units list and
// tool window, the bar toggles and the enabled state of the memory commands.
#include "support/FrameSupport.h"

#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/services/CCalcTrigonometricUnits.h"
#include "core/settings/CalcSettings.h"
#include "desktop/document/CCalcDoc.h"
#include "core/memory/MemoryMap.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcBar.h"
#include "desktop/frame/CCalcCalculateKeys.h"
#include "desktop/frame/CCalcEditorFontSettings.h"
#include "desktop/frame/CCalcStatusBar.h"
#include "desktop/frame/CCalcToolBar.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/frame/CalcMenus.h"
#include "desktop/ui/log/CCalcLog.h"
#include "core/engine/EngineState.h"

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>

#include <set>

namespace {

using namespace CalcCommand;

QString PaneText(const CCalcMainFrame& frame, CCalcStatusBar::Pane pane)
{
    return frame.calcStatusBar()->paneText(pane);
}

TEST(CommandTable, EveryIdOfTheMenuAndToolbarIsInTheTableOnce)
{
    std::set<int> ids;
    for (const Info& info : Commands())
        EXPECT_TRUE(ids.insert(info.Command).second) << "duplicate id " << info.Command;
    for (const CalcMenu::Entry& entry : CalcMenu::MenuLayout())
        EXPECT_TRUE(entry.Command == None || ids.count(entry.Command)) << entry.Command;
    for (const Id id : CalcMenu::ToolBarLayout())
        EXPECT_TRUE(id == None || ids.count(id)) << id;
    EXPECT_EQ(CalcMenu::ToolBarLayout()[CCalcToolBar::UnitsSlotIndex], TrigonometricUnits);
}

TEST(CommandTable, CalculateKeysAreRecognisedInEveryFormQtDelivers)
{
    struct Row {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        int expected;
    };
    const Row rows[] = {
        {"Ctrl+=", Qt::Key_Equal, Qt::ControlModifier, Calculate},
        {"Ctrl+Shift+0 typing = on a German keyboard", Qt::Key_Equal, Qt::ControlModifier | Qt::ShiftModifier,
         Calculate},
        {"Ctrl+Shift+= typing + on a US keyboard", Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, CalculateAll},
        {"Ctrl+Return", Qt::Key_Return, Qt::ControlModifier, Calculate},
        {"Ctrl+Enter on the number pad", Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, Calculate},
        {"Ctrl+Shift+Return", Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier, CalculateAll},
        {"Ctrl+Shift+Enter on the number pad", Qt::Key_Enter,
         Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier, CalculateAll},
        {"Return alone", Qt::Key_Return, Qt::NoModifier, None},
        {"Shift+Return", Qt::Key_Return, Qt::ShiftModifier, None},
        {"Ctrl+Alt+Return", Qt::Key_Return, Qt::ControlModifier | Qt::AltModifier, None},
        {"Ctrl++", Qt::Key_Plus, Qt::ControlModifier, CalculateAll},
        {"Ctrl+keypad +", Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, CalculateAll},
        {"= alone", Qt::Key_Equal, Qt::NoModifier, None},
        {"Shift+=", Qt::Key_Plus, Qt::ShiftModifier, None},
        {"Ctrl+Alt+=", Qt::Key_Equal, Qt::ControlModifier | Qt::AltModifier, None},
        {"Ctrl+-", Qt::Key_Minus, Qt::ControlModifier, None},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CCalcCalculateKeys::CommandForKey(row.key, row.modifiers), row.expected) << row.name;
}

TEST_F(FrameTest, MenusCarryTheExactTextsAndPrompts)
{
    ASSERT_NE(frame->menu(CalcMenu::File), nullptr);
    const QStringList topLevel = [&] {
        QStringList titles;
        for (QAction* item : frame->menuBar()->actions())
            titles.append(item->text());
        return titles;
    }();
    EXPECT_EQ(topLevel, (QStringList{"&File", "&Memory", "&Edit", "&View", "&Set", "&Help"}));
    EXPECT_EQ(frame->action(FileNew)->text(), QStringLiteral("&New\tCtrl+N"));
    EXPECT_EQ(frame->action(FileNew)->statusTip(), QStringLiteral("Create a new document"));
    EXPECT_EQ(frame->action(CalculateAll)->statusTip(), QStringLiteral("Callculate all"));
    EXPECT_EQ(frame->action(CalculateAll)->toolTip(), QStringLiteral("Calculate all Ctrl+Shift+="));
    EXPECT_EQ(frame->action(ToggleLog)->toolTip(), QStringLiteral("Toggle log Ctrl+L"));
    EXPECT_EQ(frame->action(TrigonometricUnits)->statusTip(), QStringLiteral("Set units for trigonometric functions"));
    const QMenu* notation = frame->menu(CalcMenu::Notation);
    ASSERT_NE(notation, nullptr);
    ASSERT_EQ(notation->actions().size(), 2);
    EXPECT_EQ(notation->actions()[0]->text(), QStringLiteral("&West"));
    EXPECT_EQ(notation->actions()[1]->text(), QStringLiteral("&East"));
    EXPECT_EQ(frame->toolBar()->windowTitle(), QStringLiteral("Vossek Calculator"));
}

TEST_F(FrameTest, CommandsOfWindowsNotBuiltYetAreGreyed)
{
    for (const int id : {FilePrint, FilePrintPreview, FilePageSetup, HelpTopics})
        EXPECT_FALSE(frame->action(id)->isEnabled()) << id;
    for (const int id :
         {FileNew, FileSave, FileSaveAs, ExecuteFile, MemoryLoad, ToggleLog, ToggleMemory, ToggleStatistics,
          NotationEast, ToggleKeypad, KeypadStyleXP, KeypadFontSelect, KeypadColorDefault})
        EXPECT_TRUE(frame->action(id)->isEnabled()) << id;
}

TEST_F(FrameTest, ABoundCommandFollowsItsEnabledAndCheckedTests)
{
    // A frame without bars: no window has bound the keypad's commands.
    CCalcMainFrame bare(std::span<const CalcBars::Info>{});
    bool enabled = false;
    bool checked = false;
    int runs = 0;
    bare.bindCommand(
        KeypadStyleXP, [&runs] { ++runs; }, [&enabled] { return enabled; }, [&checked] { return checked; });
    QAction* command = bare.action(KeypadStyleXP);
    struct Row {
        bool enabled;
        bool checked;
    };
    for (const Row row : {Row{true, false}, Row{true, true}, Row{false, true}, Row{false, false}}) {
        enabled = row.enabled;
        checked = row.checked;
        bare.refreshCommandStates();
        EXPECT_EQ(command->isEnabled(), row.enabled) << row.enabled << row.checked;
        EXPECT_EQ(command->isChecked(), row.checked) << row.enabled << row.checked;
    }
    command->trigger();
    EXPECT_EQ(runs, 0) << "a greyed command does not run";
    enabled = true;
    bare.refreshCommandStates();
    command->trigger();
    EXPECT_EQ(runs, 1);
}

TEST_F(FrameTest, CalculateKeyPressesRunTheStatementAtTheCaretOrAll)
{
    frame->show();
    CCalcView* view = frame->view();
    view->setFocus();
    QTest::keyClicks(view, QStringLiteral("2+3;"));
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClicks(view, QStringLiteral("4*5"));
    QTest::keyClick(view, Qt::Key_Equal, Qt::ControlModifier);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(view->text(), QStringLiteral("2+3;\n4*5=20"));
    EXPECT_EQ(PaneText(*frame, CCalcStatusBar::ResultPane), QStringLiteral("Rslt=20"));
    EXPECT_FALSE(view->document()->isUndoAvailable()) << "a calculation cannot be undone";

    struct Variant {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Variant all[] = {
        {"Ctrl+Shift+= (typing + on a US keyboard)", Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier},
        {"Ctrl++", Qt::Key_Plus, Qt::ControlModifier},
        {"Ctrl+Shift+Return", Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier},
        {"Ctrl+Shift+Enter on the number pad", Qt::Key_Enter,
         Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier},
    };
    for (const Variant& variant : all) {
        view->loadText(QStringLiteral("1+1;\n2*3;"));
        QTest::keyClick(view, variant.key, variant.modifiers);
        ASSERT_TRUE(CalculationApplied(*frame));
        EXPECT_EQ(view->text(), QStringLiteral("1+1=2;\n2*3=6;")) << variant.name;
    }
}

TEST_F(FrameTest, ReturnWithCtrlCalculatesOnEveryKeyboard)
{
    frame->show();
    CCalcView* view = frame->view();
    view->setFocus();
    struct Row {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
    };
    const Row rows[] = {
        {"Ctrl+Return", Qt::Key_Return, Qt::ControlModifier, "1+1=2;\n2*3;"},
        {"Ctrl+Enter on the number pad", Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, "1+1=2;\n2*3;"},
        {"Ctrl+Shift+Return", Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier, "1+1=2;\n2*3=6;"},
    };
    for (const Row& row : rows) {
        view->loadText(QStringLiteral("1+1;\n2*3;"));
        view->setSelection(0, 0);
        QTest::keyClick(view, row.key, row.modifiers);
        EXPECT_EQ(view->text(), QString::fromLatin1(row.text)) << row.name;
    }
}

TEST_F(FrameTest, TheEditMenuShowsBothKeysOfEachCalculateCommand)
{
    const QString calculate = frame->action(Calculate)->text();
    const QString all = frame->action(CalculateAll)->text();
    EXPECT_TRUE(calculate.endsWith(QStringLiteral("\tCtrl+=, Ctrl+Return"))) << calculate.toStdString();
    EXPECT_TRUE(all.endsWith(QStringLiteral("\tCtrl+Shift+=, Ctrl+Shift+Return"))) << all.toStdString();
    const QList<QAction*> items = frame->menu(CalcMenu::Edit)->actions();
    EXPECT_TRUE(items.contains(frame->action(Calculate)));
    EXPECT_TRUE(items.contains(frame->action(CalculateAll)));
}

TEST_F(FrameTest, CalculateKeysWorkWhileTheLogHasTheFocus)
{
    frame->show();
    frame->view()->loadText(QStringLiteral("6*7"));
    QTreeWidget* list = LogPanel(*frame)->list();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(frame->view()->text(), QStringLiteral("6*7=42"));
}

TEST_F(FrameTest, ResultPaneFollowsKeywordAndCase)
{
    NCalculatorText::State().LastResult = 1e21;
    NCalculatorText::State().CalcSettings.FormatResult = 5;
    NCalculatorText::State().CalcSettings.NotationCase = 1;
    frame->refreshResultPane();
    EXPECT_EQ(PaneText(*frame, CCalcStatusBar::ResultPane), QStringLiteral("RESULT=1E+021"));
    NCalculatorText::State().CalcSettings.FormatResult = 0;
    NCalculatorText::State().CalcSettings.NotationCase = 0;
    frame->refreshResultPane();
    EXPECT_EQ(PaneText(*frame, CCalcStatusBar::ResultPane), QStringLiteral("Rslt=1e+021"));
}

TEST_F(FrameTest, SSE2PaneShowsOnlyWhenAvailableAndUsed)
{
    struct Row {
        bool available;
        std::uint32_t use;
        const char* expected;
    };
    for (const Row& row : {Row{true, 1, "SSE2"}, Row{true, 0, ""}, Row{false, 1, ""}}) {
        NCalculatorText::State().CalcSettings.SSE2Available = row.available;
        NCalculatorText::State().CalcSettings.UseSSE2 = row.use;
        frame->refreshResultPane();
        EXPECT_EQ(PaneText(*frame, CCalcStatusBar::SSE2Pane), QLatin1String(row.expected));
    }
}

TEST_F(FrameTest, UnitsListToolWindowAndPaneMoveTogether)
{
    EXPECT_EQ(PaneText(*frame, CCalcStatusBar::UnitsPane), QStringLiteral("Rad"));
    QComboBox* toolbarList = frame->toolBar()->unitsList();
    ASSERT_EQ(toolbarList->count(), 3);
    EXPECT_EQ(toolbarList->itemText(2), QStringLiteral("Grads"));
    toolbarList->setCurrentIndex(1);
    toolbarList->activated(1);
    EXPECT_EQ(NCalculatorText::State().CalcSettings.TrigonometricUnits, 1u);
    EXPECT_TRUE(NCalculatorText::State().CalcSettings.Modified);
    EXPECT_EQ(PaneText(*frame, CCalcStatusBar::UnitsPane), QStringLiteral("Deg"));
    EXPECT_EQ(frame->unitsWindow()->list()->currentIndex(), 1);

    NCalculatorText::State().CalcSettings.TrigonometricUnits = 2;
    frame->settingsNotifier().announce();
    EXPECT_EQ(PaneText(*frame, CCalcStatusBar::UnitsPane), QStringLiteral("Grad"));
    EXPECT_EQ(toolbarList->currentIndex(), 2);
}

TEST_F(FrameTest, VerticalToolbarTurnsTheUnitsListIntoAToolWindowButton)
{
    frame->show();
    CCalcToolBar* toolBar = frame->toolBar();
    EXPECT_TRUE(toolBar->showsUnitsList());
    frame->addToolBar(Qt::LeftToolBarArea, toolBar);
    EXPECT_FALSE(toolBar->showsUnitsList());
    QAction* button = frame->action(TrigonometricUnits);
    button->trigger();
    EXPECT_TRUE(frame->unitsWindow()->isVisible());
    EXPECT_TRUE(button->isChecked());
    frame->unitsWindow()->hide();
    EXPECT_FALSE(button->isChecked()) << "closing the tool window clears the check mark";
    button->trigger();
    frame->addToolBar(Qt::TopToolBarArea, toolBar);
    EXPECT_TRUE(toolBar->showsUnitsList());
    EXPECT_FALSE(frame->unitsWindow()->isVisible()) << "a horizontal toolbar hides the tool window";
}

TEST_F(FrameTest, MemoryFreeAndSaveAreGreyedWhileTheMemoryIsEmpty)
{
    frame->refreshCommandStates();
    EXPECT_FALSE(frame->action(MemoryFree)->isEnabled());
    EXPECT_FALSE(frame->action(MemorySave)->isEnabled());
    EXPECT_TRUE(frame->action(MemoryLoad)->isEnabled());

    frame->view()->loadText(QStringLiteral("7->Mem[x]"));
    frame->action(CalculateAll)->trigger();
    EXPECT_TRUE(frame->action(MemoryFree)->isEnabled());
    EXPECT_TRUE(frame->action(MemorySave)->isEnabled());

    NCalculatorText::State().CalcSettings.FreeConfirmation = 0;
    frame->action(MemoryFree)->trigger();
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 0u);
    EXPECT_FALSE(frame->action(MemoryFree)->isEnabled());
    EXPECT_FALSE(frame->action(MemorySave)->isEnabled());
}

TEST_F(FrameTest, NotationCommandsSetTheSettingAndTheCheckMark)
{
    frame->refreshCommandStates();
    EXPECT_TRUE(frame->action(NotationWest)->isChecked());
    frame->action(NotationEast)->trigger();
    EXPECT_EQ(NCalculatorText::State().CalcSettings.Notation, 1u);
    EXPECT_TRUE(NCalculatorText::State().CalcSettings.Modified);
    EXPECT_TRUE(frame->action(NotationEast)->isChecked());
    EXPECT_FALSE(frame->action(NotationWest)->isChecked());
}

TEST_F(FrameTest, EditorFontDefaultCarriesTheCheckMarkWhileTheDefaultFontIsUsed)
{
    frame->refreshCommandStates();
    EXPECT_TRUE(frame->action(EditorFontDefault)->isChecked());
    QFont bold(QStringLiteral("Courier New"));
    bold.setPointSize(15);
    bold.setBold(true);
    frame->editorFont()->setEditorFont(bold);
    EXPECT_FALSE(frame->action(EditorFontDefault)->isChecked());
    frame->action(EditorFontDefault)->trigger();
    EXPECT_TRUE(frame->action(EditorFontDefault)->isChecked());
}

TEST_F(FrameTest, LogToggleHidesAndShowsTheBarWithItsCheckMark)
{
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QAction* toggle = frame->action(ToggleLog);
    EXPECT_TRUE(toggle->isChecked());
    QTest::keyClick(frame->view(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_FALSE(LogBar(*frame)->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(LogBar(*frame)->isVisible());
    EXPECT_TRUE(toggle->isChecked());
}

TEST_F(FrameTest, ErrorsPopUpTheHiddenLogWhenAskedTo)
{
    frame->show();
    LogBar(*frame)->hide();
    NCalculatorText::State().CalcSettings.LogPopup = 1;
    frame->view()->loadText(QStringLiteral("1/0"));
    frame->document()->Command(CmdCalculateAll);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_TRUE(LogBar(*frame)->isVisible());
    EXPECT_EQ(LogPanel(*frame)->rowCount(), 1);
    EXPECT_EQ(NCalculatorText::State().LogReceiver, LogPanel(*frame));
}

TEST_F(FrameTest, TitleNamesTheDocumentAndMarksUnsavedWork)
{
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Calculation[*] - Vossek Calculator Tevra"));
    EXPECT_FALSE(frame->isWindowModified());
    QTest::keyClicks(frame->view(), QStringLiteral("1"));
    EXPECT_TRUE(frame->isWindowModified());
}

}  // namespace
