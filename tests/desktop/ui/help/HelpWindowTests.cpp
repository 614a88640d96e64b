// The help window and the three help commands: Help Topics, F1 on the window
// that has the focus (the editor, a log row, a dialog's control, a menu) and
// context help on what is clicked; back and forward; finding across pages.
#include "support/FrameSupport.h"
#include "support/MemorySupport.h"

#include "desktop/app/CCalcApp.h"
#include "desktop/services/CCalcHelpRequests.h"
#include "desktop/services/CCalcPreferences.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/CalcHelpTopics.h"
#include "desktop/document/CCalcDoc.h"
#include "core/memory/MemoryMap.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/ui/help/CCalcHelp.h"
#include "desktop/frame/CCalcToolBar.h"
#include "desktop/ui/help/CCalcHelpWindow.h"
#include "desktop/ui/keypad/CCalcKeyPad.h"
#include "desktop/ui/keypad/CColorButton.h"
#include "desktop/ui/keypad/KeypadButtons.h"
#include "desktop/ui/memory/CCalcMemory.h"
#include "desktop/ui/print/CCalcPageSetup.h"
#include "desktop/ui/print/CCalcPrintDialogs.h"
#include "desktop/ui/print/CCalcPrintPreview.h"
#include "desktop/ui/statistics/CCalcStatistics.h"
#include "core/engine/EngineState.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWhatsThis>

#include <functional>
#include <memory>

namespace {

// Lets queued work run (the context-help click opens its page afterwards).
void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
        ASSERT_TRUE(app.start({}));
        app.frame()->setPrompts(&prompts);
        // The frame is the active window, as a user's would be.
        QApplication::setActiveWindow(app.frame());
    }
    void TearDown() override
    {
        if (QWhatsThis::inWhatsThisMode())
            QWhatsThis::leaveWhatsThisMode();
        prompts.saveChoice = ICalcDocPrompts::SaveChoice::Discard;
        app.frame()->close();
        ProgramStore().clear();
        NCalculatorText::ResetProcessState();
    }

    QUrl shown() { return app.help()->hasWindow() ? app.help()->window()->browser()->source() : QUrl(); }
    QString shownTopic()
    {
        const QUrl url = shown();
        QString topic = url.fileName().chopped(5);
        if (url.hasFragment())
            topic += QLatin1Char('#') + url.fragment();
        return topic;
    }
    void trigger(int command) { app.frame()->action(command)->trigger(); }

    CCalcApp app;
    FakePrompts prompts;
};

TEST_F(HelpTest, HelpTopicsIsInTheHelpMenuEnabledAndOpensTheContents)
{
    QAction* topics = app.frame()->action(CalcCommand::HelpTopics);
    EXPECT_TRUE(topics->isEnabled());
    EXPECT_TRUE(app.frame()->menu(CalcMenu::Help)->actions().contains(topics));
    EXPECT_FALSE(app.help()->hasWindow()) << "the window is made when first asked for";
    trigger(CalcCommand::HelpTopics);
    EXPECT_EQ(shownTopic(), QStringLiteral("contents"));
    EXPECT_TRUE(app.help()->window()->isVisible());
    EXPECT_EQ(app.help()->window()->windowTitle(), QStringLiteral("Calculator Tevra Help"));
}

TEST_F(HelpTest, TheToolbarsContextHelpButtonIsEnabled)
{
    QAction* contextHelp = app.frame()->action(CalcCommand::ContextHelp);
    EXPECT_TRUE(contextHelp->isEnabled());
    const auto* button = qobject_cast<QToolButton*>(app.frame()->toolBar()->widgetForAction(contextHelp));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(app.frame()->action(CalcCommand::Help)->isEnabled());
}

TEST_F(HelpTest, F1OpensTheTopicOfTheWindowWithTheFocus)
{
    app.frame()->view()->setFocus();
    trigger(CalcCommand::Help);
    EXPECT_EQ(shownTopic(), QStringLiteral("language"));

    // The log: its page, or the message of the selected row.
    CCalcLog* log = LogPanel(*app.frame());
    log->list()->setFocus();
    trigger(CalcCommand::Help);
    EXPECT_EQ(shownTopic(), QStringLiteral("messages"));

    app.frame()->view()->loadText(QStringLiteral("1; ln(-1)"));
    trigger(CalcCommand::CalculateAll);
    ASSERT_EQ(log->rowCount(), 1);
    log->list()->setCurrentItem(log->list()->topLevelItem(0));
    log->list()->setFocus();
    trigger(CalcCommand::Help);
    EXPECT_EQ(shownTopic(), QStringLiteral("messages#report-%1").arg(NCalculatorText::Domain));
}

TEST_F(HelpTest, TheTopicsAskedForByContextNumberAndByNameOpen)
{
    struct Row {
        std::uint32_t Context;
        const char* Topic;
    };
    const Row rows[] = {
        {CalcHelp::KeypadContextBase + 1028, "keypad#button-1028"},
        {CalcHelp::KeypadContextBase + 1001, "keypad#button-1001"},
        {CalcHelp::KeypadContextBase + 1002, "contents"},
        {0, "contents"},
        {CalcHelp::KeypadContextBase - 1, "contents"},
        {0xFFFFFFFFu, "contents"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Context);
        app.frame()->helpRequests().showContext(row.Context);
        EXPECT_EQ(shownTopic(), QString::fromUtf8(row.Topic));
    }
    app.frame()->helpRequests().showTopic(QStringLiteral("functions#function-sin"));
    EXPECT_EQ(shownTopic(), QStringLiteral("functions#function-sin"));
    app.frame()->helpRequests().showTopic(QStringLiteral("nonsense"));
    EXPECT_EQ(shownTopic(), QStringLiteral("contents"));
}

TEST_F(HelpTest, F1InADialogOpensTheTopicOfItsControl)
{
    CCalcPreferences dialog(NCalculatorText::State().CalcSettings, app.frame());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    auto* notation = dialog.findChild<QComboBox*>(QStringLiteral("Notation"));
    ASSERT_NE(notation, nullptr);
    notation->setFocus();
    QTest::keyClick(notation, Qt::Key_F1);
    EXPECT_EQ(shownTopic(), QStringLiteral("preferences#Notation"));

    // A widget of the dialog without a topic of its own: the dialog's.
    auto* ok = dialog.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    QTest::keyClick(ok, Qt::Key_F1);
    EXPECT_EQ(shownTopic(), QStringLiteral("preferences"));
    dialog.reject();
}

TEST_F(HelpTest, F1InAPrintDialogOpensItsTopic)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const CalcPrintSettings settings;
    struct Row {
        std::function<std::unique_ptr<QDialog>()> Make;
        QString Topic;
    };
    const Row rows[] = {
        {[&] { return std::make_unique<CCalcPrintDialog>(&printer, false, app.frame()); }, CalcHelp::PrintTopic},
        {[&] {
             return std::make_unique<CCalcPrintPreview>(
                 printer, [](QPrinter&) {}, app.frame());
         },
         CalcHelp::PreviewTopic},
        {[&] {
             return std::make_unique<CCalcPageSetup>(settings, printer, CCalcPageSetup::Units::Metric, app.frame());
         },
         CalcHelp::PageSetupTopic},
        {[&] {
             return std::make_unique<CCalcPrintingDialog>(QStringLiteral("sums.vcl"), QStringLiteral("office"),
                                                          QStringLiteral("office"), app.frame());
         },
         CalcHelp::PrintingTopic},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Topic.toStdString());
        const std::unique_ptr<QDialog> dialog = row.Make();
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        QWidget* focus = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog.get();
        QTest::keyClick(focus, Qt::Key_F1);
        EXPECT_EQ(shownTopic(), row.Topic);
        app.help()->window()->showTopic(CalcHelp::Contents);
        dialog->hide();
    }
}

TEST_F(HelpTest, TheHelpOfAModalDialogIsNotBlockedByItAndOutlivesIt)
{
    auto dialog = std::make_unique<CCalcPreferences>(NCalculatorText::State().CalcSettings, app.frame());
    dialog->setModal(true);
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    ASSERT_EQ(QApplication::activeModalWidget(), dialog.get());
    QTest::keyClick(dialog.get(), Qt::Key_F1);
    CCalcHelpWindow* window = app.help()->window();
    EXPECT_EQ(shownTopic(), QStringLiteral("preferences"));
    // A window of the modal dialog's own is not blocked by it.
    EXPECT_EQ(window->parentWidget(), dialog.get());
    EXPECT_TRUE(window->isWindow());
    EXPECT_TRUE(window->isVisible());
    // A click in it goes through while the dialog waits.
    QToolButton* contents = nullptr;
    for (QToolButton* button : window->findChildren<QToolButton*>())
        if (button->defaultAction() != nullptr && button->defaultAction()->text() == QStringLiteral("Contents"))
            contents = button;
    ASSERT_NE(contents, nullptr);
    QTest::mouseClick(contents, Qt::LeftButton);
    EXPECT_EQ(shownTopic(), QStringLiteral("contents"));
    window->showTopic(CalcHelp::Preferences);

    // The dialog goes; the help stays, the program's own again.
    dialog->reject();
    dialog.reset();
    ASSERT_TRUE(app.help()->hasWindow());
    EXPECT_EQ(app.help()->window(), window);
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(shownTopic(), QStringLiteral("preferences"));
    QTest::mouseClick(contents, Qt::LeftButton);
    EXPECT_EQ(shownTopic(), QStringLiteral("contents")) << "nothing blocks it afterwards";
}

TEST_F(HelpTest, ContextHelpOpensTheTopicOfWhatIsClicked)
{
    CCalcLog* log = LogPanel(*app.frame());
    app.frame()->view()->loadText(QStringLiteral("5/0"));
    trigger(CalcCommand::CalculateAll);
    ASSERT_EQ(log->rowCount(), 1);

    trigger(CalcCommand::ContextHelp);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    const QRect row = log->list()->visualItemRect(log->list()->topLevelItem(0));
    QTest::mouseClick(log->list()->viewport(), Qt::LeftButton, {}, row.center());
    Settle();
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(shownTopic(), QStringLiteral("messages#report-%1").arg(NCalculatorText::Singularity));

    // Shift+F1 starts it too; a click on the editor gives the language.
    QTest::keyClick(app.frame()->view(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QTest::mouseClick(app.frame()->view()->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    Settle();
    EXPECT_EQ(shownTopic(), QStringLiteral("language"));

    // A toolbar button names its command.
    trigger(CalcCommand::ContextHelp);
    QWidget* save = app.frame()->toolBar()->widgetForAction(app.frame()->action(CalcCommand::FileSave));
    ASSERT_NE(save, nullptr);
    QTest::mouseClick(save, Qt::LeftButton, {}, save->rect().center());
    Settle();
    EXPECT_EQ(shownTopic(), CalcHelp::CommandTopic(CalcCommand::FileSave));
}

TEST_F(HelpTest, TheMemoryWindowAndTheStatisticsBarOpenTheirTopics)
{
    auto* memory = qobject_cast<CCalcMemory*>(app.frame()->bar(CalcBars::Memory)->panel());
    auto* statistics = qobject_cast<CCalcStatistics*>(app.frame()->bar(CalcBars::Statistics)->panel());
    ASSERT_NE(memory, nullptr);
    ASSERT_NE(statistics, nullptr);
    CCalcBar* statisticsBar = app.frame()->bar(CalcBars::Statistics);
    statisticsBar->show();

    memory->list()->setFocus();
    trigger(CalcCommand::Help);
    EXPECT_EQ(shownTopic(), QStringLiteral("memory#window"));
    // The bar floats in a window of its own.
    QApplication::setActiveWindow(statisticsBar->window());
    statistics->field(2)->setFocus();
    trigger(CalcCommand::Help);
    EXPECT_EQ(shownTopic(), QStringLiteral("memory#statistic-2"));
    QApplication::setActiveWindow(app.frame());

    // Context help on each button: the topic of that button.
    app.frame()->view()->loadText(QStringLiteral("1->Mem[a]; 2->Mem[b]"));
    trigger(CalcCommand::CalculateAll);
    for (int which = 0; which < CCalcMemory::ButtonCount; ++which) {
        QAbstractButton* button = memory->button(static_cast<CCalcMemory::Button>(which));
        SCOPED_TRACE(button->accessibleName().toStdString());
        trigger(CalcCommand::ContextHelp);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        Settle();
        EXPECT_EQ(shownTopic(), CalcHelp::MemoryButtonTopic(CCalcMemory::ButtonTable()[which].ControlId));
    }
    EXPECT_EQ(NCalculatorText::State().MemoryMap.Count(), 2u) << "a click of context help does not press the button";
}

TEST_F(HelpTest, EveryKeypadButtonOpensItsTopicOnF1AndInContextHelp)
{
    CCalcBar* bar = app.frame()->bar(CalcBars::Keypad);
    bar->show();
    auto* keypad = qobject_cast<CCalcKeyPad*>(bar->panel());
    ASSERT_NE(keypad, nullptr);
    // The shown bar is laid out and its keys fitted to its room before the
    // pointer goes over them.
    EXPECT_TRUE(QTest::qWaitFor([bar] { return bar->isVisible() && bar->widget()->isVisible(); }, 30000));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(app.frame());
    app.frame()->view()->setFocus();
    // F1 with the pointer over a button, the editor keeping the focus.
    for (const Keypad::Button& entry : Keypad::Buttons()) {
        SCOPED_TRACE(entry.Id);
        CColorButton* button = keypad->button(entry.Id);
        ASSERT_NE(button, nullptr);
        // Where the keypad has too little room, the user scrolls to the button.
        if (auto* area = qobject_cast<QScrollArea*>(bar->widget()))
            area->ensureWidgetVisible(button, 0, 0);
        // A window the last F1 opened over the button is put aside first,
        // as the user would move it.
        const QPoint centre = button->mapToGlobal(button->rect().center());
        if (QWidget* over = QApplication::widgetAt(centre); over != nullptr && over->window() != button->window())
            over->window()->hide();
        // The user comes back from the help window to the frame.
        QApplication::setActiveWindow(app.frame());
        app.frame()->view()->setFocus();
        QTest::mouseMove(app.frame()->view()->viewport(), QPoint(5, 5));
        QTest::mouseMove(button, button->rect().center());
        QCoreApplication::processEvents();
        QTest::keyClick(app.frame()->view(), Qt::Key_F1);
        EXPECT_EQ(shownTopic(), CalcHelp::KeypadButtonTopic(entry.Id));
    }
    // Context help: a click on a button opens its topic and presses nothing.
    for (const Keypad::Button& entry : Keypad::Buttons()) {
        SCOPED_TRACE(entry.Id);
        CColorButton* button = keypad->button(entry.Id);
        app.help()->window()->showTopic(CalcHelp::Contents);
        trigger(CalcCommand::ContextHelp);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        Settle();
        EXPECT_EQ(shownTopic(), CalcHelp::KeypadButtonTopic(entry.Id));
    }
    EXPECT_TRUE(app.frame()->view()->text().isEmpty()) << "no button was pressed";

    // Away from the buttons F1 is the editor's again.
    QApplication::setActiveWindow(app.frame());
    app.frame()->view()->setFocus();
    QTest::mouseMove(keypad->button(1001), QPoint(2, 2));
    QTest::mouseMove(app.frame()->view()->viewport(), QPoint(5, 5));
    QCoreApplication::processEvents();
    QTest::keyClick(app.frame()->view(), Qt::Key_F1);
    EXPECT_EQ(shownTopic(), QStringLiteral("language"));
}

TEST_F(HelpTest, F1InAnOpenMenuOpensItsHighlightedCommand)
{
    QMenu* file = app.frame()->menu(CalcMenu::File);
    file->popup(QPoint(0, 0));
    file->setActiveAction(app.frame()->action(CalcCommand::ExecuteFile));
    QTest::keyClick(file, Qt::Key_F1);
    EXPECT_FALSE(file->isVisible());
    EXPECT_EQ(shownTopic(), CalcHelp::CommandTopic(CalcCommand::ExecuteFile));
}

TEST_F(HelpTest, BackAndForwardRetraceThePagesShown)
{
    CCalcHelpWindow* window = app.help()->window();
    window->showTopic(QStringLiteral("language"));
    window->showTopic(QStringLiteral("functions"));
    EXPECT_EQ(shownTopic(), QStringLiteral("functions"));
    ASSERT_TRUE(window->browser()->isBackwardAvailable());
    window->browser()->backward();
    EXPECT_EQ(shownTopic(), QStringLiteral("language"));
    window->browser()->forward();
    EXPECT_EQ(shownTopic(), QStringLiteral("functions"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Functions - Calculator Tevra Help"));
}

TEST_F(HelpTest, FindSearchesThePageThenTheOtherPages)
{
    CCalcHelpWindow* window = app.help()->window();
    window->showTopic(CalcHelp::Contents);
    // Only the functions page speaks of Bessel functions of the second kind.
    EXPECT_TRUE(window->find(QStringLiteral("second kind Y(n, x)")));
    EXPECT_EQ(shownTopic(), QStringLiteral("functions"));
    EXPECT_EQ(window->browser()->textCursor().selectedText(), QStringLiteral("second kind Y(n, x)"));
    // Found again on the same page, and backwards from there.
    EXPECT_TRUE(window->find(QStringLiteral("Bessel")));
    EXPECT_TRUE(window->find(QStringLiteral("Bessel"), true));
    EXPECT_FALSE(window->find(QStringLiteral("zq no page has this zq")));
    EXPECT_FALSE(window->find(QString()));

    // The field: Enter finds, and a miss says so.
    window->findField()->setText(QStringLiteral("zq no page has this zq"));
    QTest::keyClick(window->findField(), Qt::Key_Return);
    const auto* status = window->findChild<QLabel*>(QStringLiteral("HelpFindStatus"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), QStringLiteral("Not found"));
    window->findField()->setText(QStringLiteral("Syntax error"));
    QTest::keyClick(window->findField(), Qt::Key_Return);
    EXPECT_EQ(status->text(), QString());
}

TEST_F(HelpTest, TheHelpWindowsControlsCarryTheirCaptionsForAssistiveTechnology)
{
    CCalcHelpWindow* window = app.help()->window();
    EXPECT_EQ(window->findField()->accessibleName(), QStringLiteral("Find in help"));
    QStringList captions;
    for (const QToolButton* button : window->findChildren<QToolButton*>())
        if (button->defaultAction() != nullptr)
            captions << button->defaultAction()->text();
    for (const char* caption : {"Back", "Forward", "Contents", "Previous", "Next"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(caption))) << caption;
}

}  // namespace
