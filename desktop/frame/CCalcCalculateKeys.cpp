#include "desktop/frame/CCalcCalculateKeys.h"

#include "desktop/services/CalcCommands.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>

#include <utility>

int CCalcCalculateKeys::CommandForKey(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    if (!(held & Qt::ControlModifier) || (held & (Qt::AltModifier | Qt::MetaModifier)))
        return CalcCommand::None;
    // Return, or Enter on the number pad: there on every layout.
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return held & Qt::ShiftModifier ? CalcCommand::CalculateAll : CalcCommand::Calculate;
    // The key names the character typed, Shift applied: where "=" itself
    // needs Shift (Shift+0 on a German keyboard), Ctrl+Shift+0 arrives as
    // "=" with Shift and calculates. On a US or French keyboard Shift turns
    // "=" into "+", so Ctrl+Shift+= arrives as "+" and calculates all, as
    // does Ctrl++ on a keyboard with a "+" key of its own.
    if (key == Qt::Key_Equal)
        return CalcCommand::Calculate;
    if (key == Qt::Key_Plus)
        return CalcCommand::CalculateAll;
    return CalcCommand::None;
}

CCalcCalculateKeys::CCalcCalculateKeys(QMainWindow* frame, std::function<QAction*(int)> actionFor)
    : QObject(frame), frame_(frame), actionFor_(std::move(actionFor))
{
    qApp->installEventFilter(this);
}

CCalcCalculateKeys::~CCalcCalculateKeys()
{
    qApp->removeEventFilter(this);
}

bool CCalcCalculateKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // Only keys typed into the frame or one of its own windows, never into a
    // dialog on top of it.
    const QWidget* window = static_cast<QWidget*>(watched)->window();
    if (window != frame_ &&
        !(window->parentWidget() && window->parentWidget()->window() == frame_ && window->windowType() == Qt::Tool))
        return false;
    if (QApplication::activeModalWidget())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const int id = CommandForKey(key->key(), key->modifiers());
    if (id == CalcCommand::None)
        return false;
    QAction* command = actionFor_(id);
    if (command && command->isEnabled())
        command->trigger();
    return true;
}
