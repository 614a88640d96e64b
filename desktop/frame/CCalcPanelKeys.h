// The keys a panel passes on as if the editor had the focus. While the
// keyboard focus is in a docked or floating bar's panel (the log, and next the
// keypad and the memory window), exactly the keys of this one table carry out
// their command: calculate, calculate all, New, Open, Save, Print, Execute
// file and the keypad, log and memory toggles. The panel never sees them, so
// a panel's own control cannot swallow one (a line edit takes Ctrl+K for
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
    struct Entry {
        std::string_view Keys;  // in Qt's portable notation
        CalcCommand::Id Command;
    };

    // The panels' accelerator table.
    static std::span<const Entry> Table();

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
