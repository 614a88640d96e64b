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

#include <algorithm>
#include <memory>
#include <string>
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

TEST(PanelKeys, EveryAcceleratorButTheControlsOwnIsTaken)
{
    for (const KeyRow& row : PanelKeyRows)
        EXPECT_EQ(CCalcPanelKeys::CommandForKey(row.key, row.modifiers), row.command) << row.name;
    struct Other {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int command;
    };
    for (const Other& other : {
             Other{"F6", Qt::Key_F6, Qt::NoModifier, NextPane},
             Other{"Shift+F6", Qt::Key_F6, Qt::ShiftModifier, PreviousPane},
             // The panel's control keeps these.
             Other{"Ctrl+C", Qt::Key_C, Qt::ControlModifier, None},
             Other{"Shift+Ins", Qt::Key_Insert, Qt::ShiftModifier, None},
             Other{"Alt+Backspace", Qt::Key_Backspace, Qt::AltModifier, None},
             Other{"F1", Qt::Key_F1, Qt::NoModifier, None},
             // No accelerator at all.
             Other{"Ctrl+Shift+N", Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier, None},
             Other{"N", Qt::Key_N, Qt::NoModifier, None},
             Other{"Alt+L", Qt::Key_L, Qt::AltModifier, None},
         })
        EXPECT_EQ(CCalcPanelKeys::CommandForKey(other.key, other.modifiers), other.command) << other.name;
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
    void focusEditor()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] {
            frame->activateWindow();
            frame->view()->setFocus(Qt::OtherFocusReason);
            return frame->view()->hasFocus();
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
    auto* floating = static_cast<KeyEatingPanel*>(frame->bar(CalcBars::Memory)->panel());
    auto* docked = static_cast<KeyEatingPanel*>(frame->bar(CalcBars::Keypad)->panel());
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
            ASSERT_TRUE(CalculationApplied(*frame));
            EXPECT_EQ(triggered.count(), 1);
        }
    }
    for (KeyEatingPanel* panel : {docked, floating})
        EXPECT_EQ(panel->seen.toStdString(), "") << "a panel's key reached its control";
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(printed, 3);
}

// The key a US keyboard delivers for a combination: Shift turns "=" into
// "+", so Ctrl+Shift+= arrives as Ctrl+Shift++.
Qt::Key TypedKey(QKeyCombination combination)
{
    if (combination.key() == Qt::Key_Equal && combination.keyboardModifiers().testFlag(Qt::ShiftModifier))
        return Qt::Key_Plus;
    return combination.key();
}

// Every key of the command table, pressed in the editor, a docked and a
// floating panel: the command's action fires once, no other does, and the
// editor's text stays as it was (Ctrl+K once deleted to the end of the line).
// The handlers are taken off the actions, so that a command (Exit, Print,
// Open) does not do its work here; what counts is which action a key reaches.
TEST_F(PanelKeysInFrame, EveryAcceleratorOfTheTableCarriesOutItsCommandWhateverHasTheFocus)
{
    frame->showWithStoredPlacement();
    const QString text = QStringLiteral("1+2 // first\n3*4");
    frame->view()->loadText(text);
    std::vector<QAction*> actions;
    for (const Info& info : Commands()) {
        QAction* command = frame->action(info.Command);
        ASSERT_NE(command, nullptr);
        QObject::disconnect(command, &QAction::triggered, nullptr, nullptr);
        actions.push_back(command);
    }
    auto* docked = static_cast<KeyEatingPanel*>(frame->bar(CalcBars::Keypad)->panel());
    auto* floating = static_cast<KeyEatingPanel*>(frame->bar(CalcBars::Memory)->panel());
    ASSERT_FALSE(frame->bar(CalcBars::Keypad)->isFloating());
    ASSERT_TRUE(frame->bar(CalcBars::Memory)->isFloating());
    struct Place {
        const char* name;
        QWidget* control;
        KeyEatingPanel* panel;  // null for the editor
    };
    const Place places[] = {
        {"the editor", frame->view(), nullptr},
        {"a docked panel", docked, docked},
        {"a floating panel", floating, floating},
    };
    // Kept by a panel's own control, which acts on what it shows.
    const std::vector<int> controlCommands = {EditUndo, EditCut, EditCopy, EditPaste, Help, ContextHelp};
    int pressed = 0;
    for (const Place& place : places) {
        for (const Info& info : Commands()) {
            for (const std::string_view keys : info.Shortcuts) {
                if (keys.empty())
                    continue;
                const QKeySequence sequence(QString::fromLatin1(keys.data(), static_cast<qsizetype>(keys.size())),
                                            QKeySequence::PortableText);
                SCOPED_TRACE(std::string(place.name) + ", " + std::string(keys));
                if (place.panel != nullptr)
                    focus(place.control);
                else
                    focusEditor();
                frame->view()->setSelection(2, 2);
                std::vector<std::unique_ptr<QSignalSpy>> spies;
                for (QAction* command : actions) {
                    command->setEnabled(true);
                    spies.push_back(std::make_unique<QSignalSpy>(command, &QAction::triggered));
                }
                if (place.panel != nullptr)
                    place.panel->seen.clear();
                QTest::keyClick(place.control, TypedKey(sequence[0]), sequence[0].keyboardModifiers());
                ++pressed;
                const bool keptByControl =
                    place.panel != nullptr && std::count(controlCommands.begin(), controlCommands.end(), info.Command);
                for (std::size_t i = 0; i < actions.size(); ++i) {
                    const bool expected = !keptByControl && Commands()[i].Command == info.Command;
                    EXPECT_EQ(spies[i]->count(), expected ? 1 : 0) << Commands()[i].Command;
                }
                if (place.panel != nullptr) {
                    EXPECT_EQ(place.panel->seen.isEmpty(), !keptByControl) << place.panel->seen.toStdString();
                }
                EXPECT_EQ(frame->view()->text(), text);
            }
        }
    }
    EXPECT_GT(pressed, 3 * 20);
}

TEST_F(PanelKeysInFrame, CalculateFromAPanelRunsTheEditorsText)
{
    frame->showWithStoredPlacement();
    frame->view()->loadText(QStringLiteral("6*7"));
    focus(frame->bar(CalcBars::Memory)->panel());
    QTest::keyClick(frame->bar(CalcBars::Memory)->panel(), Qt::Key_Equal, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(CalculationApplied(*frame));
    EXPECT_EQ(frame->view()->text(), QStringLiteral("6*7=42"));
}

TEST_F(PanelKeysInFrame, OtherKeysStillReachThePanel)
{
    frame->showWithStoredPlacement();
    auto* panel = static_cast<KeyEatingPanel*>(frame->bar(CalcBars::Keypad)->panel());
    focus(panel);
    QTest::keyClick(panel, Qt::Key_1);
    QTest::keyClick(panel, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(panel->seen.toStdString(), "1 Ctrl+C ");
}

}  // namespace
