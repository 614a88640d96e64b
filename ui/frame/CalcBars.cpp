#include "ui/frame/CalcBars.h"

#include "app/CCalcHelpRequests.h"
#include "document/CCalcDoc.h"
#include "ui/frame/CCalcMainFrame.h"
#include "ui/keypad/CCalcKeyPad.h"
#include "ui/log/CCalcLog.h"

namespace CalcBars {

namespace {

// The log of the latest run. It is the engine's log receiver and shows its
// bar when a record arrives while LogPopup is set.
QWidget* CreateLog(const PanelContext& context)
{
    auto* log = new CCalcLog(&context.Bar);
    log->setObjectName(QStringLiteral("Log"));
    log->publishAsLogReceiver();
    CCalcBar* bar = &context.Bar;
    QObject::connect(log, &CCalcLog::popupRequested, bar, [bar] {
        bar->show();
        bar->raise();
    });
    return log;
}

// The keypad: sends its texts and commands to the document, follows the
// preferences, asks for help on F1 and binds the Set > Keypad commands.
QWidget* CreateKeypad(const PanelContext& context)
{
    auto* keypad = new CCalcKeyPad(&context.Bar);
    keypad->SetReceiver(context.Frame.document());
    keypad->followSettings(context.Frame.settingsNotifier());
    keypad->setHelpRequests(&context.Frame.helpRequests());
    keypad->bindCommands(context.Frame);
    return keypad;
}

const Info BarTable[] = {
    {Log, "Log", CCalcBar::Sizing::Resizable, CalcCommand::ToggleLog, DockedOn(Qt::BottomDockWidgetArea), true,
     CreateLog},
    {Keypad, "Keypad", CCalcBar::Sizing::Fixed, CalcCommand::ToggleKeypad, DockedOn(Qt::BottomDockWidgetArea), true,
     CreateKeypad},
};

}  // namespace

std::span<const Info> Bars()
{
    return BarTable;
}

}  // namespace CalcBars
