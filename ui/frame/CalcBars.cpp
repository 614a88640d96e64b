#include "ui/frame/CalcBars.h"

#include "ui/editor/CCalcEditorAids.h"
#include "ui/editor/CCalcView.h"
#include "ui/frame/CCalcMainFrame.h"
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
    // A row shows its statement in the editor; Enter also goes there.
    CCalcMainFrame* frame = &context.Frame;
    QObject::connect(log, &CCalcLog::rowActivated, log, [frame](int row, bool byKey) {
        if (frame->editorAids()->selectReport(row) && byKey)
            frame->view()->setFocus(Qt::OtherFocusReason);
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
