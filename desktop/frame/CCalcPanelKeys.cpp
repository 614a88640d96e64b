#include "desktop/frame/CCalcPanelKeys.h"

#include "desktop/frame/CCalcCalculateKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

#include <utility>

namespace {

using namespace CalcCommand;

constexpr CCalcPanelKeys::Entry PanelKeyTable[] = {
    {"Ctrl+=", Calculate}, {"Ctrl+Shift+=", CalculateAll}, {"Ctrl+N", FileNew},     {"Ctrl+O", FileOpen},
    {"Ctrl+S", FileSave},  {"Ctrl+P", FilePrint},          {"Ctrl+E", ExecuteFile}, {"Ctrl+K", ToggleKeypad},
    {"Ctrl+L", ToggleLog}, {"Ctrl+M", ToggleMemory},
};

bool IsCalculateCommand(int id)
{
    return id == Calculate || id == CalculateAll;
}

}  // namespace

std::span<const CCalcPanelKeys::Entry> CCalcPanelKeys::Table()
{
    return PanelKeyTable;
}

int CCalcPanelKeys::CommandForKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (const int calculate = CCalcCalculateKeys::CommandForKey(key, modifiers); calculate != None)
        return calculate;
    const QKeySequence pressed(QKeyCombination(modifiers & ~Qt::KeypadModifier, static_cast<Qt::Key>(key)));
    for (const Entry& entry : PanelKeyTable) {
        if (IsCalculateCommand(entry.Command))
            continue;  // recognised above, in all their forms
        const QKeySequence keys(QString::fromLatin1(entry.Keys.data(), static_cast<qsizetype>(entry.Keys.size())),
                                QKeySequence::PortableText);
        if (keys == pressed)
            return entry.Command;
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
