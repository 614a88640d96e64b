#include "desktop/frame/CCalcPanelKeys.h"

#include "desktop/frame/CCalcCalculateKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

using namespace CalcCommand;

// The commands whose keys a panel's own control keeps: they act on what has
// the focus, so Copy in the log copies the log's rows, not the editor's text,
// and F1 over a keypad button opens that button's topic.
constexpr CalcCommand::Id ControlCommands[] = {EditUndo, EditCut, EditCopy, EditPaste, Help, ContextHelp};

bool IsCalculateCommand(int id)
{
    return id == Calculate || id == CalculateAll;
}

bool IsControlCommand(int id)
{
    return std::find(std::begin(ControlCommands), std::end(ControlCommands), id) != std::end(ControlCommands);
}

}  // namespace

bool CCalcPanelKeys::PassesCommand(int command)
{
    return !IsControlCommand(command);
}

int CCalcPanelKeys::CommandForKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (const int calculate = CCalcCalculateKeys::CommandForKey(key, modifiers); calculate != None)
        return calculate;
    const QKeySequence pressed(QKeyCombination(modifiers & ~Qt::KeypadModifier, static_cast<Qt::Key>(key)));
    for (const Info& info : Commands()) {
        if (IsCalculateCommand(info.Command) || IsControlCommand(info.Command))
            continue;  // the calculate keys are recognised above, in all their forms
        for (const std::string_view keys : info.Shortcuts) {
            if (!keys.empty() &&
                QKeySequence(QString::fromLatin1(keys.data(), static_cast<qsizetype>(keys.size())),
                             QKeySequence::PortableText) == pressed)
                return info.Command;
        }
    }
    return None;
}

CCalcPanelKeys::CCalcPanelKeys(std::function<bool(const QWidget*)> inPanel, std::function<QAction*(int)> actionFor,
                               QObject* parent)
    : QObject(parent), inPanel_(std::move(inPanel)), actionFor_(std::move(actionFor))
{
    qApp->installEventFilter(this);
}

CCalcPanelKeys::~CCalcPanelKeys()
{
    qApp->removeEventFilter(this);
}

bool CCalcPanelKeys::eventFilter(QObject* watched, QEvent* event)
{
    const bool shortcutOverride = event->type() == QEvent::ShortcutOverride;
    if ((!shortcutOverride && event->type() != QEvent::KeyPress) || !watched->isWidgetType())
        return false;
    if (QApplication::activeModalWidget() || !inPanel_(static_cast<QWidget*>(watched)))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const int id = CommandForKey(key->key(), key->modifiers());
    if (id == None)
        return false;
    // Claiming the shortcut stage keeps the frame's shortcut map out; the
    // key press that follows carries the command out.
    key->accept();
    if (shortcutOverride)
        return true;
    QAction* command = actionFor_(id);
    if (command && command->isEnabled())
        command->trigger();
    return true;
}
