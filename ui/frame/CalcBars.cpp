#include "ui/frame/CalcBars.h"

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

const Info BarTable[] = {
    {Log, "Log", CCalcBar::Sizing::Resizable, CalcCommand::ToggleLog, DockedOn(Qt::BottomDockWidgetArea), true,
     CreateLog},
};

}  // namespace

std::span<const Info> Bars()
{
    return BarTable;
}

}  // namespace CalcBars
