// The calculate accelerators. Ctrl+= calculates the statement at the caret
// and Ctrl+Shift+= calculates all, each recognised by the character its key
// types on the keyboard's layout; Ctrl+Return and Ctrl+Shift+Return do the
// same on every layout. Platforms differ in whether they report the shifted
// "=" key as "=" or "+" and with or without Shift; registered as ordinary
// shortcuts, the variants match the same key press twice and Qt refuses it as
// ambiguous. So the keys are recognised here, once, from the key events of
// the frame's windows.
#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMainWindow;

class CCalcCalculateKeys final : public QObject {
    Q_OBJECT

public:
    // The command id (Calculate or CalculateAll) of a key press, or 0.
    static int CommandForKey(int key, Qt::KeyboardModifiers modifiers);

    // Watches the key presses of frame and of the windows it owns (floating
    // bars) and triggers the action of the recognised command, which
    // actionFor gives by its id.
    CCalcCalculateKeys(QMainWindow* frame, std::function<QAction*(int)> actionFor);
    ~CCalcCalculateKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow* frame_;
    std::function<QAction*(int)> actionFor_;
};
