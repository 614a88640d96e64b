#include "desktop/frame/CalcBars.h"

#include "desktop/services/CCalcHelpRequests.h"
#include "desktop/services/CalcHelpTopics.h"
#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "desktop/ui/editor/CCalcEditorAids.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcMainFrame.h"
#include "desktop/ui/keypad/CCalcKeyPad.h"
#include "desktop/ui/log/CCalcLog.h"
#include "desktop/ui/memory/CCalcMemory.h"
#include "desktop/ui/statistics/CCalcStatistics.h"

#include <algorithm>

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
    // The log starts short; its bar grows as records arrive, as far as the
    // editor keeps its share.
    CCalcMainFrame* frame = &context.Frame;
    QObject::connect(log, &CCalcLog::recordAdded, bar, [frame, bar, log](int rows) {
        const int wanted = log->heightForRows(std::min(rows, CCalcLog::GrowRows));
        if (log->height() < wanted)
            frame->growDockedBar(bar, bar->height() + wanted - log->height());
    });
    // A row shows its statement in the editor; Enter also goes there.
    QObject::connect(log, &CCalcLog::rowActivated, log, [frame](int row, bool byKey) {
        if (frame->editorAids()->selectReport(row) && byKey)
            frame->view()->setFocus(Qt::OtherFocusReason);
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
    CalcHelp::setTopic(keypad, CalcHelp::Keypad);
    keypad->bindCommands(context.Frame);
    // Its keys edit the text a running calculation owns.
    QObject::connect(context.Frame.document(), &CCalcDoc::calculationRunningChanged, keypad,
                     [keypad](bool running) { keypad->setEnabled(!running); });
    // Where the screen is short of room its keys shrink before it scrolls.
    context.Bar.setPanelFit([keypad](QSize room) { keypad->fitInto(room); });
    return keypad;
}

// The memory window. It rebuilds on the document's memory-change notice,
// asks its questions and saves its files through the document, and tells
// the document after a free of its own.
QWidget* CreateMemory(const PanelContext& context)
{
    CCalcDoc* document = context.Frame.document();
    CCalcMemory::Links links{
        [document](const QString& question) { return document->prompts()->confirm(question); },
        [document](bool all) { document->saveMemory(all); },
        [document] { document->noticeMemoryChange(); },
    };
    auto* memory = new CCalcMemory(std::move(links), context.Frame.settingsNotifier(), &context.Bar);
    memory->setObjectName(QStringLiteral("Memory"));
    QObject::connect(document, &CCalcDoc::memoryChanged, memory, &CCalcMemory::Refresh);
    // Its ticks and buttons change the memory a running calculation uses.
    QObject::connect(document, &CCalcDoc::calculationRunningChanged, memory,
                     [memory](bool running) { memory->setEnabled(!running); });
    return memory;
}

// The statistics of the values the memory window's Statistics button
// chose; computing them shows the bar. Its row stands after the memory
// window's, which it listens to.
QWidget* CreateStatistics(const PanelContext& context)
{
    auto* statistics = new CCalcStatistics(context.Frame.settingsNotifier().record(), &context.Bar);
    statistics->setObjectName(QStringLiteral("Statistics"));
    CCalcBar* memoryBar = context.Frame.bar(Memory);
    if (auto* memory = memoryBar ? qobject_cast<CCalcMemory*>(memoryBar->panel()) : nullptr) {
        CCalcBar* bar = &context.Bar;
        QObject::connect(memory, &CCalcMemory::statisticsRequested, statistics,
                         [statistics, bar](const std::vector<double>& values) {
                             statistics->ShowStatistics(values);
                             bar->show();
                             bar->raise();
                         });
    }
    return statistics;
}

const Info BarTable[] = {
    {.Bar = Log,
     .Title = "Log",
     .Sizing = CCalcBar::Sizing::Resizable,
     .Toggle = CalcCommand::ToggleLog,
     .InitialPlacement = DockedOn(Qt::BottomDockWidgetArea),
     .InitiallyVisible = true,
     .CreatePanel = CreateLog},
    {.Bar = Keypad,
     .Title = "Keypad",
     .Sizing = CCalcBar::Sizing::Fixed,
     .Toggle = CalcCommand::ToggleKeypad,
     .InitialPlacement = DockedOn(Qt::BottomDockWidgetArea),
     .InitiallyVisible = true,
     .CreatePanel = CreateKeypad},
    {.Bar = Memory,
     .Title = "Memory",
     .Sizing = CCalcBar::Sizing::Resizable,
     .Toggle = CalcCommand::ToggleMemory,
     .InitialPlacement = DockedOn(Qt::RightDockWidgetArea),
     .InitiallyVisible = true,
     .CreatePanel = CreateMemory},
    {.Bar = Statistics,
     .Title = "Statistics",
     .Sizing = CCalcBar::Sizing::Fixed,
     .Toggle = CalcCommand::ToggleStatistics,
     .InitialPlacement = FloatingAt(QPoint(27, 27)),
     .InitiallyVisible = false,
     .CreatePanel = CreateStatistics},
};

}  // namespace

std::span<const Info> Bars()
{
    return BarTable;
}

}  // namespace CalcBars
