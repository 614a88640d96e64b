#include "desktop/frame/CCalcMainFrame.h"

#include "desktop/services/CCalcHelpRequests.h"
#include "desktop/services/CalcHelpTopics.h"
#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/services/CCalcTrigonometricUnits.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/CCalcPaletteIcon.h"
#include "desktop/services/QtText.h"
#include "core/settings/CalcSettings.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "core/engine/Engine.h"
#include "desktop/ui/editor/CCalcEditorAids.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcBar.h"
#include "desktop/frame/CCalcBusyBar.h"
#include "desktop/frame/CCalcCalculateKeys.h"
#include "desktop/frame/CCalcEditorCommands.h"
#include "desktop/frame/CCalcEditorFontSettings.h"
#include "desktop/frame/CCalcPanelKeys.h"
#include "desktop/frame/CCalcStatusBar.h"
#include "desktop/frame/CCalcToolBar.h"
#include "core/engine/EngineState.h"

#include <QActionGroup>
#include <QComboBox>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QVBoxLayout>

#include <cassert>
#include <utility>

namespace {

const QString FrameTitle = QStringLiteral("Vossek Calculator Tevra");

}  // namespace

CCalcMainFrame::CCalcMainFrame(QWidget* parent) : CCalcMainFrame(CalcBars::Bars(), parent) {}

CCalcMainFrame::CCalcMainFrame(std::span<const CalcBars::Info> table, QWidget* parent)
    : QMainWindow(parent), barTable_(table)
{
    // The icons live in a static library; this pulls them in and registers them.
    Q_INIT_RESOURCE(tevra);
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/calculator-tevra.svg")));
    setAcceptDrops(true);
    settings_ = new CCalcSettingsNotifier(NCalculatorText::State().CalcSettings, this);
    help_ = new CCalcHelpRequests(this);

    createDocument();
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createDockWindows();
    connectFrameCommands();
    restoreLayout();

    // What F1 and context help open: the editor is the language, the menus
    // and the toolbar their commands, the units window its preference.
    CalcHelp::setTopic(view_, CalcHelp::Language);
    CalcHelp::setTopic(menuBar(), CalcHelp::Commands);
    CalcHelp::setTopic(toolBar_, CalcHelp::Commands);
    CalcHelp::setTopic(unitsWindow_, CalcHelp::Preferences + QStringLiteral("#TrigonometricUnits"));

    // What follows the settings: the result and SSE2 panes, the notation
    // check marks, and (through the units step) the units pane and lists.
    connect(settings_, &CCalcSettingsNotifier::settingsChanged, this, &CCalcMainFrame::refreshResultPane);
    connect(settings_, &CCalcSettingsNotifier::settingsChanged, this, &CCalcMainFrame::refreshCommandStates);

    updateTitle();
    settings_->announce();
}

CCalcMainFrame::~CCalcMainFrame()
{
    // The document and the windows that bind commands go first, while the
    // frame they report to is still whole: nothing of theirs may call it
    // once it is being taken apart.
    bindings_.clear();
    view_->viewport()->removeEventFilter(this);
    unitsWindow_->removeEventFilter(this);
    delete std::exchange(document_, nullptr);
    delete std::exchange(view_, nullptr);
    const std::vector<CCalcBar*> bars = std::exchange(bars_, {});
    qDeleteAll(bars);
}

void CCalcMainFrame::createDocument()
{
    // The editor, with the bar that shows while a calculation runs under it.
    auto* editorArea = new QWidget(this);
    editorArea->setObjectName(QStringLiteral("EditorArea"));
    auto* editorLayout = new QVBoxLayout(editorArea);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->setSpacing(0);
    view_ = new CCalcView(editorArea);
    view_->setObjectName(QStringLiteral("Editor"));
    view_->setPlaceholderText(Tevra::ToQString(CalcCommand::EmptyEditorHint));
    view_->setAccessibleDescription(view_->placeholderText());
    editorFont_ = new CCalcEditorFontSettings(view_);
    editorCommands_ = new CCalcEditorCommands(view_);
    busyBar_ = new CCalcBusyBar(editorArea);
    editorLayout->addWidget(view_, 1);
    editorLayout->addWidget(busyBar_);
    setCentralWidget(editorArea);
    // Files dropped on the editor open as the document instead of being
    // inserted as text.
    view_->viewport()->installEventFilter(this);

    dialogs_ = std::make_unique<CCalcDocDialogs>(this);
    document_ = new CCalcDoc(view_, dialogs_.get(), this);
    connect(document_, &CCalcDoc::pathChanged, this, &CCalcMainFrame::updateTitle);
    connect(document_, &CCalcDoc::modifiedChanged, this, &CCalcMainFrame::setWindowModified);
    connect(document_, &CCalcDoc::resultChanged, this, &CCalcMainFrame::refreshResultPane);

    aids_ = new CCalcEditorAids(view_);
    aids_->setEngineBusy([document = document_] { return document->isCalculating(); });
    connect(document_, &CCalcDoc::runReported, aids_, &CCalcEditorAids::showRunReports);
    connect(document_, &CCalcDoc::resultChanged, aids_, &CCalcEditorAids::refreshLiveValue);
    connect(document_, &CCalcDoc::memoryChanged, aids_, &CCalcEditorAids::refreshLiveValue);
    connect(settings_, &CCalcSettingsNotifier::settingsChanged, aids_, &CCalcEditorAids::refreshLiveValue);
    connect(document_, &CCalcDoc::calculationRunningChanged, aids_, &CCalcEditorAids::calculationRunning);
    connect(document_, &CCalcDoc::calculationStarting, aids_, &CCalcEditorAids::calculationStarting);
    // A running calculation: the bar after half a second, Escape or its
    // Cancel to stop it, and the commands that wait for it greyed.
    connect(busyBar_, &CCalcBusyBar::cancelRequested, document_, &CCalcDoc::cancelCalculation);
    cancelKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    cancelKey_->setContext(Qt::ApplicationShortcut);
    cancelKey_->setEnabled(false);
    connect(cancelKey_, &QShortcut::activated, document_, &CCalcDoc::cancelCalculation);
    connect(document_, &CCalcDoc::calculationRunningChanged, this, &CCalcMainFrame::calculationRunningChanged);
}

void CCalcMainFrame::calculationRunningChanged(bool running)
{
    busyBar_->setCalculationRunning(running);
    cancelKey_->setEnabled(running);
    // The units lists change a setting the calculation reads.
    toolBar_->unitsList()->setEnabled(!running);
    unitsWindow_->setEnabled(!running);
    refreshCommandStates();
}

void CCalcMainFrame::setPrompts(ICalcDocPrompts* prompts)
{
    document_->setPrompts(prompts ? prompts : dialogs_.get());
}

void CCalcMainFrame::createActions()
{
    QList<QKeySequence> accelerators;
    for (const CalcCommand::Info& info : CalcCommand::Commands()) {
        auto* command = new QAction(Tevra::ToQString(info.MenuText.empty() ? info.ToolTip : info.MenuText), this);
        command->setObjectName(QStringLiteral("Command%1").arg(info.Command));
        QList<QKeySequence> shortcuts;
        for (const std::string_view shortcut : info.Shortcuts) {
            if (!shortcut.empty())
                shortcuts.append(QKeySequence(Tevra::ToQString(shortcut), QKeySequence::PortableText));
        }
        accelerators += shortcuts;
        // The calculate keys have several spellings of one key press and are
        // recognised by CCalcCalculateKeys instead of the shortcut map.
        if (info.Command != CalcCommand::Calculate && info.Command != CalcCommand::CalculateAll)
            command->setShortcuts(shortcuts);
        command->setStatusTip(Tevra::ToQString(info.Prompt));
        CalcHelp::setTopic(command, CalcHelp::CommandTopic(info.Command));
        command->setToolTip(Tevra::ToQString(info.ToolTip));
        if (!info.Icon.empty())
            command->setIcon(Tevra::PaletteIcon(Tevra::ToQString(info.Icon)));
        command->setCheckable(info.Checkable);
        // Disabled until a handler is bound: commands whose windows are not
        // part of this program yet stay grey.
        command->setEnabled(false);
        // Added to the window so that accelerators without a menu item work.
        addAction(command);
        actions_[info.Command] = command;
    }
    // The editor's own bindings never shadow an accelerator: Undo, Cut, Copy
    // and Paste reach the editor through their commands all the same.
    view_->setReservedKeys(accelerators);
}

QAction* CCalcMainFrame::action(int id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

void CCalcMainFrame::bindCommand(int id, Handler handler, State enabled, State checked)
{
    QAction* command = action(id);
    assert(command && "every command id has an action");
    assert(!bindings_.count(id) && "a command is bound once");
    const CalcCommand::Info* info = CalcCommand::Find(id);
    if (info != nullptr && info->WaitsForCalculation) {
        // Greyed while a calculation runs, and refused should a key still
        // reach it.
        const CCalcDoc* document = document_;
        enabled = [document, enabled = std::move(enabled)] {
            return !document->isCalculating() && (!enabled || enabled());
        };
        handler = [document, handler = std::move(handler)] {
            if (!document->isCalculating())
                handler();
        };
    }
    connect(command, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    command->setEnabled(!enabled || enabled());
    if (checked)
        command->setChecked(checked());
    bindings_[id] = Binding{std::move(enabled), std::move(checked)};
}

void CCalcMainFrame::refreshCommandStates()
{
    for (const auto& [id, binding] : bindings_) {
        QAction* command = action(id);
        if (binding.Enabled)
            command->setEnabled(binding.Enabled());
        if (binding.Checked)
            command->setChecked(binding.Checked());
    }
}

QMenu* CCalcMainFrame::menu(CalcMenu::Id id) const
{
    const auto found = menus_.find(id);
    return found == menus_.end() ? nullptr : found->second;
}

QMenu* CCalcMainFrame::createMenu(CalcMenu::Id id)
{
    if (QMenu* existing = menu(id))
        return existing;
    // A menu is created, with the menus it opens from, where its first entry
    // is placed.
    const CalcMenu::Info& info = CalcMenu::Find(id);
    const QString title = Tevra::ToQString(info.Title);
    QMenu* created = nullptr;
    if (info.Parent == CalcMenu::NoMenu) {
        created = menuBar()->addMenu(title);
        connect(created, &QMenu::aboutToShow, this, &CCalcMainFrame::refreshCommandStates);
    } else {
        created = createMenu(info.Parent)->addMenu(title);
    }
    created->setObjectName(QStringLiteral("Menu%1").arg(id));
    menus_[id] = created;
    return created;
}

void CCalcMainFrame::createMenus()
{
    auto* notation = new QActionGroup(this);
    notation->addAction(action(CalcCommand::NotationWest));
    notation->addAction(action(CalcCommand::NotationEast));

    for (const CalcMenu::Entry& entry : CalcMenu::MenuLayout()) {
        QMenu* entryMenu = createMenu(entry.Menu);
        if (entry.Command == CalcCommand::None)
            entryMenu->addSeparator();
        else
            entryMenu->addAction(action(entry.Command));
    }
}

void CCalcMainFrame::createToolBar()
{
    // The tool window comes first: the toolbar's units button drives it.
    unitsStep_ = new CCalcUnitsStep(*settings_, this);
    unitsWindow_ = new CCalcTrigonometricUnits(*unitsStep_, this);
    unitsWindow_->hide();
    unitsWindow_->installEventFilter(this);

    toolBar_ = new CCalcToolBar(this);
    toolBar_->populate([this](int id) { return action(id); }, action(CalcCommand::TrigonometricUnits));
    unitsStep_->attachList(toolBar_->unitsList());
    addToolBar(Qt::TopToolBarArea, toolBar_);
    connect(toolBar_, &CCalcToolBar::unitsListShown, unitsWindow_, &QWidget::hide);
}

void CCalcMainFrame::createStatusBar()
{
    statusBar_ = new CCalcStatusBar(this);
    setStatusBar(statusBar_);
    connect(unitsStep_, &CCalcUnitsStep::unitsChanged, statusBar_, &CCalcStatusBar::setUnits);
    connect(document_, &CCalcDoc::fileNotice, statusBar_, &CCalcStatusBar::setNotice);
    connect(aids_, &CCalcEditorAids::liveValueChanged, statusBar_, &CCalcStatusBar::setLiveValue);
}

void CCalcMainFrame::createDockWindows()
{
    setDockNestingEnabled(true);
    for (const CalcBars::Info& info : barTable_) {
        auto* created = new CCalcBar(info.Bar, Tevra::ToQString(info.Title), info.Sizing, this);
        created->setPanel(info.CreatePanel({*created, *this}));
        // Each bar gets a row of its own along its edge: bars docked on the
        // same edge stand one behind the other, each as long as the edge.
        const Qt::DockWidgetArea area = info.InitialPlacement.Area;
        const bool alongTopOrBottom = area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
        addDockWidget(area, created, alongTopOrBottom ? Qt::Vertical : Qt::Horizontal);
        if (info.InitialPlacement.Floating) {
            created->setFloating(true);
            created->placeFloatingAt(info.InitialPlacement.FloatingAt);
        }
        if (!info.InitiallyVisible)
            created->hide();
        bars_.push_back(created);
    }
}

bool CCalcMainFrame::isInBar(const QWidget* widget) const
{
    for (const CCalcBar* candidate : bars_) {
        if (candidate == widget || candidate->isAncestorOf(widget))
            return true;
    }
    return false;
}

CCalcBar* CCalcMainFrame::bar(int id) const
{
    for (CCalcBar* candidate : bars_) {
        if (candidate->id() == id)
            return candidate;
    }
    return nullptr;
}

void CCalcMainFrame::connectFrameCommands()
{
    using namespace CalcCommand;
    editorCommands_->bindCommands(*this);
    editorFont_->bindCommands(*this);
    aids_->bindCommands(*this);
    document_->bindCommands(*this);
    new CCalcCalculateKeys(this, [this](int id) { return action(id); });
    // Created after the calculate keys, so that it sees a panel's keys first.
    new CCalcPanelKeys([this](const QWidget* widget) { return isInBar(widget); }, [this](int id) { return action(id); },
                       this);

    bindCommand(AppExit, [this] { close(); });
    bindCommand(
        ToggleToolBar, [this] { toolBar_->setVisible(action(ToggleToolBar)->isChecked()); }, {},
        [this] { return !toolBar_->isHidden(); });
    bindCommand(
        ToggleStatusBar, [this] { statusBar_->setVisible(action(ToggleStatusBar)->isChecked()); }, {},
        [this] { return !statusBar_->isHidden(); });
    connect(toolBar_->toggleViewAction(), &QAction::toggled, action(ToggleToolBar), &QAction::setChecked);
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        CCalcBar* toggled = bars_[i];
        QAction* toggle = action(barTable_[i].Toggle);
        bindCommand(
            barTable_[i].Toggle,
            [toggled, toggle] {
                toggled->setVisible(toggle->isChecked());
                if (toggled->isVisible())
                    toggled->raise();
            },
            {}, [toggled] { return !toggled->isHidden(); });
        connect(toggled->toggleViewAction(), &QAction::toggled, toggle, &QAction::setChecked);
    }

    const auto notationIs = [](std::uint32_t notation) {
        return [notation] { return NCalculatorText::State().CalcSettings.Notation == notation; };
    };
    bindCommand(
        NotationWest, [this] { setNotation(0); }, {}, notationIs(0));
    bindCommand(
        NotationEast, [this] { setNotation(1); }, {}, notationIs(1));
    bindCommand(
        TrigonometricUnits, [this] { toggleUnitsWindow(action(TrigonometricUnits)->isChecked()); }, {},
        [this] { return unitsWindow_->isVisible(); });

    bindCommand(NextPane, [this] { focusPane(1); });
    bindCommand(PreviousPane, [this] { focusPane(-1); });
}

void CCalcMainFrame::updateTitle()
{
    setWindowTitle(document_->title() + QStringLiteral("[*] - ") + FrameTitle);
    setWindowModified(document_->isModified());
}

void CCalcMainFrame::refreshResultPane()
{
    statusBar_->refreshResult(NCalculatorText::State().CalcSettings, NCalculatorText::State().LastResult);
    statusBar_->refreshSSE2(NCalculatorText::State().CalcSettings);
}

void CCalcMainFrame::setNotation(std::uint32_t notation)
{
    NCalculatorText::State().CalcSettings.Notation = notation;
    NCalculatorText::State().CalcSettings.Modified = true;
    settings_->announce();
}

void CCalcMainFrame::toggleUnitsWindow(bool show)
{
    unitsWindow_->setVisible(show);
    if (show)
        unitsWindow_->raise();
}

void CCalcMainFrame::focusPane(int step)
{
    // The panes in F6 order: the editor, then every visible bar.
    QList<QWidget*> panes{view_};
    for (CCalcBar* pane : bars_) {
        if (pane->isVisible() && pane->panel())
            panes.append(pane->panel());
    }
    int current = 0;
    for (int i = 0; i < panes.size(); ++i) {
        if (panes[i]->isAncestorOf(focusWidget()) || panes[i] == focusWidget())
            current = i;
    }
    const int next = (current + step + static_cast<int>(panes.size())) % static_cast<int>(panes.size());
    QWidget* target = panes[next];
    if (target->focusPolicy() == Qt::NoFocus) {
        for (QWidget* child : target->findChildren<QWidget*>()) {
            if (child->focusPolicy() != Qt::NoFocus && child->isVisible()) {
                target = child;
                break;
            }
        }
    }
    target->activateWindow();
    target->setFocus(Qt::OtherFocusReason);
}
