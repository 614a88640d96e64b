// The calculate accelerators. Ctrl+= calculates the statement at the caret
// and Ctrl+Shift+= calculates all. On a US keyboard Shift turns "=" into "+",
// and platforms differ in whether they report that key as "=" or "+" and
// with or without Shift; registered as ordinary shortcuts, the variants match
// the same key press twice and Qt refuses it as ambiguous. So the keys are
// recognised here, once, from the key events of the frame's windows.
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
