// The panels' accelerator table: while a docked or floating panel has the
// focus, its keys carry out their commands as if the editor had the focus,
// and never reach the panel's own controls.
#include "support/FrameSupport.h"

#include "desktop/services/CalcCommands.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcPanelKeys.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <vector>

namespace {

using namespace CalcCommand;

// A panel whose control takes every key for itself, as a control with key
// bindings of its own does (a line edit deletes to the end of the line on
// Ctrl+K on some desktops): it claims each shortcut and keeps the text of
// the key presses it sees.
class KeyEatingPanel final : public QWidget {
public:
    explicit KeyEatingPanel(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }

    QString seen;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        return QWidget::event(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        const int key = event->key();
        if (key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta)
            return;  // a modifier on its own
        seen += QKeySequence(event->keyCombination()).toString(QKeySequence::PortableText) + QLatin1Char(' ');
    }
};

QWidget* CreateKeyEatingPanel(const CalcBars::PanelContext& context)
{
    return new KeyEatingPanel(&context.Bar);
}

// The program's rows, with a docked test row under the keypad's toggle and a
// floating one under the memory window's in place of theirs.
const std::vector<CalcBars::Info>& PanelBars()
{
    static const std::vector<CalcBars::Info> bars = ProgramBarsWith({
        {CalcBars::Keypad, "Docked", CCalcBar::Sizing::Resizable, ToggleKeypad,
         CalcBars::DockedOn(Qt::RightDockWidgetArea), true, CreateKeyEatingPanel},
        {CalcBars::Memory, "Floating", CCalcBar::Sizing::Resizable, ToggleMemory, CalcBars::FloatingAt(QPoint(27, 27)),
         true, CreateKeyEatingPanel},
    });
    return bars;
}

struct KeyRow {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int command;
};

const KeyRow PanelKeyRows[] = {
    {"Ctrl+=", Qt::Key_Equal, Qt::ControlModifier, Calculate},
    {"Ctrl+Shift+= (typing +)", Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, CalculateAll},
    {"Ctrl+Return", Qt::Key_Return, Qt::ControlModifier, Calculate},
    {"Ctrl++", Qt::Key_Plus, Qt::ControlModifier, CalculateAll},
    {"Ctrl+N", Qt::Key_N, Qt::ControlModifier, FileNew},
    {"Ctrl+O", Qt::Key_O, Qt::ControlModifier, FileOpen},
    {"Ctrl+S", Qt::Key_S, Qt::ControlModifier, FileSave},
    {"Ctrl+P", Qt::Key_P, Qt::ControlModifier, FilePrint},
    {"Ctrl+E", Qt::Key_E, Qt::ControlModifier, ExecuteFile},
    {"Ctrl+K", Qt::Key_K, Qt::ControlModifier, ToggleKeypad},
    {"Ctrl+L", Qt::Key_L, Qt::ControlModifier, ToggleLog},
    {"Ctrl+M", Qt::Key_M, Qt::ControlModifier, ToggleMemory},
};

TEST(PanelKeys, TheTableHoldsTheTenKeysAndNothingElse)
{
    for (const KeyRow& row : PanelKeyRows)
        EXPECT_EQ(CCalcPanelKeys::CommandForKey(row.key, row.modifiers), row.command) << row.name;
    EXPECT_EQ(CCalcPanelKeys::Table().size(), 10u);
    struct Other {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    for (const Other& other : {Other{"Ctrl+C", Qt::Key_C, Qt::ControlModifier},
                               Other{"Ctrl+Shift+N", Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier},
                               Other{"N", Qt::Key_N, Qt::NoModifier}, Other{"Alt+L", Qt::Key_L, Qt::AltModifier}})
        EXPECT_EQ(CCalcPanelKeys::CommandForKey(other.key, other.modifiers), None) << other.name;
}

class PanelKeysInFrame : public FrameTest {
protected:
    std::unique_ptr<CCalcMainFrame> makeFrame() override { return std::make_unique<CCalcMainFrame>(PanelBars()); }

    // Every bar shown again, and the focus in panel's window and control.
    void focus(QWidget* control)
    {
        for (const CalcBars::Info& row : PanelBars())
            frame->bar(row.Bar)->show();
        QWidget* window = control->window();
        // A floating bar shown again becomes active once its window exists.
        ASSERT_TRUE(QTest::qWaitFor([&] {
            window->activateWindow();
            control->setFocus(Qt::OtherFocusReason);
            return control->hasFocus();
        }));
    }
};

TEST_F(PanelKeysInFrame, EveryKeyCarriesOutItsCommandFromEveryPanel)
{
    // The commands the start-up and the printing would bind.
    int opened = 0;
    int printed = 0;
    frame->bindCommand(FileOpen, [&opened] { ++opened; });
    frame->bindCommand(FilePrint, [&printed] { ++printed; });
    frame->showWithStoredPlacement();

    struct Panel {
        const char* name;
        QWidget* control;
    };
    auto* floating = static_cast<KeyEatingPanel*>(frame->bar(CalcBars::Memory)->widget());
    auto* docked = static_cast<KeyEatingPanel*>(frame->bar(CalcBars::Keypad)->widget());
    ASSERT_TRUE(frame->bar(CalcBars::Memory)->isFloating());
    const Panel panels[] = {
        {"the log", LogPanel(*frame)->list()},
        {"a docked panel that takes keys", docked},
        {"a floating panel that takes keys", floating},
    };
    for (const Panel& panel : panels) {
        for (const KeyRow& row : PanelKeyRows) {
            SCOPED_TRACE(std::string(panel.name) + ", " + row.name);
            focus(panel.control);
            QSignalSpy triggered(frame->action(row.command), &QAction::triggered);
            QTest::keyClick(panel.control, row.key, row.modifiers);
            EXPECT_EQ(triggered.count(), 1);
        }
    }
    for (KeyEatingPanel* panel : {docked, floating})
        EXPECT_EQ(panel->seen.toStdString(), "") << "a panel's key reached its control";
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(printed, 3);
}

TEST_F(PanelKeysInFrame, CalculateFromAPanelRunsTheEditorsText)
{
    frame->showWithStoredPlacement();
    frame->view()->loadText(QStringLiteral("6*7"));
    focus(frame->bar(CalcBars::Memory)->widget());
    QTest::keyClick(frame->bar(CalcBars::Memory)->widget(), Qt::Key_Equal, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(frame->view()->text(), QStringLiteral("6*7=42"));
}

TEST_F(PanelKeysInFrame, OtherKeysStillReachThePanel)
{
    frame->showWithStoredPlacement();
    auto* panel = static_cast<KeyEatingPanel*>(frame->bar(CalcBars::Keypad)->widget());
    focus(panel);
    QTest::keyClick(panel, Qt::Key_1);
    QTest::keyClick(panel, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(panel->seen.toStdString(), "1 Ctrl+C ");
}

}  // namespace
