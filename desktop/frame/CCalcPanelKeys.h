// The keys a panel passes on as if the editor had the focus. While the
// keyboard focus is in a docked or floating bar's panel (the log, the keypad,
// the memory window), every accelerator of the command table carries out its
// command, except Undo, Cut, Copy, Paste and the two help keys, which belong
// to the panel's own control (Copy in the log copies its rows). The panel never sees those keys,
// so a panel's control cannot swallow one (a line edit takes Ctrl+K for
// itself), and the frame's shortcuts do not fire a second time. Every other
// key goes to the panel, or to the frame's shortcuts, as it always did.
#pragma once

#include "desktop/services/CalcCommands.h"

#include <QObject>

#include <functional>
#include <span>
#include <string_view>

class QAction;
class QWidget;

class CCalcPanelKeys final : public QObject {
    Q_OBJECT

public:
    // Whether a panel passes command's accelerators on (all but the ones its
    // own control keeps).
    static bool PassesCommand(int command);

    // The command a key press inside a panel stands for, or None. The
    // calculate keys are recognised in every form the calculate keys of the
    // editor are.
    static int CommandForKey(int key, Qt::KeyboardModifiers modifiers);

    // Watches the application's key presses; inPanel tells whether a widget
    // lies in one of the frame's bars, actionFor gives a command's action.
    CCalcPanelKeys(std::function<bool(const QWidget*)> inPanel, std::function<QAction*(int)> actionFor,
                   QObject* parent);
    ~CCalcPanelKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(const QWidget*)> inPanel_;
    std::function<QAction*(int)> actionFor_;
};
