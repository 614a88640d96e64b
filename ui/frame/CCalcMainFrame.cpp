#include "ui/frame/CCalcMainFrame.h"

#include "app/CCalcTrigonometricUnits.h"
#include "app/CalcSettings.h"
#include "document/CCalcDoc.h"
#include "document/CCalcDocPrompts.h"
#include "engine/Diagnostics.h"
#include "engine/Engine.h"
#include "memory/MemoryMap.h"
#include "ui/editor/CCalcView.h"
#include "ui/frame/CCalcBar.h"
#include "ui/frame/CCalcCalculateKeys.h"
#include "ui/frame/CCalcStatusBar.h"
#include "ui/frame/CCalcToolBar.h"
#include "ui/frame/CalcCommands.h"
#include "ui/log/CCalcLog.h"

#include <QActionGroup>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QTextDocument>

namespace {

const QString FrameTitle = QStringLiteral("Vossek Calculator Tevra");
constexpr int LogBarId = 133;

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CCalcMainFrame::CCalcMainFrame(QWidget* parent) : QMainWindow(parent)
{
    // The icons live in a static library; this pulls them in and registers them.
    Q_INIT_RESOURCE(tevra);
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/calculator-tevra.svg")));
    setAcceptDrops(true);

    createDocument();
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createDockWindows();
    connectFrameCommands();
    restoreLayout();

    updateTitle();
    refreshResultPane();
    refreshUnits();
    refreshCommandStates();
}

CCalcMainFrame::~CCalcMainFrame()
{
    if (NCalculatorText::LogReceiver == log_)
        NCalculatorText::LogReceiver = nullptr;
}

void CCalcMainFrame::createDocument()
{
    view_ = new CCalcView(this);
    view_->setObjectName(QStringLiteral("Editor"));
    setCentralWidget(view_);
    // Files dropped on the editor open as the document instead of being
    // inserted as text.
    view_->viewport()->installEventFilter(this);

    dialogs_ = std::make_unique<CCalcDocDialogs>(this);
    document_ = new CCalcDoc(view_, dialogs_.get(), this);
    connect(document_, &CCalcDoc::pathChanged, this, &CCalcMainFrame::updateTitle);
    connect(document_, &CCalcDoc::modifiedChanged, this, &CCalcMainFrame::setWindowModified);
    connect(document_, &CCalcDoc::resultChanged, this, &CCalcMainFrame::refreshResultPane);
    connect(document_, &CCalcDoc::memoryChanged, this, &CCalcMainFrame::refreshCommandStates);
}

void CCalcMainFrame::setPrompts(ICalcDocPrompts* prompts)
{
    document_->setPrompts(prompts ? prompts : dialogs_.get());
}

void CCalcMainFrame::createActions()
{
    for (const CalcCommand::Info& info : CalcCommand::Commands()) {
        auto* command = new QAction(Text(info.MenuText.empty() ? info.ToolTip : info.MenuText), this);
        command->setObjectName(QStringLiteral("Command%1").arg(info.Command));
        QList<QKeySequence> shortcuts;
        for (const std::string_view shortcut : info.Shortcuts) {
            if (!shortcut.empty())
                shortcuts.append(QKeySequence(Text(shortcut), QKeySequence::PortableText));
        }
        // The calculate keys have several spellings of one key press and are
        // recognised by CCalcCalculateKeys instead of the shortcut map.
        if (info.Command != CalcCommand::Calculate && info.Command != CalcCommand::CalculateAll)
            command->setShortcuts(shortcuts);
        command->setStatusTip(Text(info.Prompt));
        command->setToolTip(Text(info.ToolTip));
        if (!info.Icon.empty())
            command->setIcon(QIcon(Text(info.Icon)));
        command->setCheckable(info.Checkable);
        // Disabled until a handler is bound: commands whose windows are not
        // part of this program yet stay grey.
        command->setEnabled(false);
        // Added to the window so that accelerators without a menu item work.
        addAction(command);
        actions_[info.Command] = command;
    }
}

QAction* CCalcMainFrame::action(int id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

void CCalcMainFrame::bindCommand(int id, const std::function<void()>& handler)
{
    QAction* command = action(id);
    Q_ASSERT_X(command, "bindCommand", "every command id has an action");
    command->setProperty("bound", true);
    command->setEnabled(true);
    connect(command, &QAction::triggered, this, [handler] { handler(); });
}

QMenu* CCalcMainFrame::menuOf(const QString& path) const
{
    const auto found = menus_.find(path);
    return found == menus_.end() ? nullptr : found->second;
}

void CCalcMainFrame::createMenus()
{
    auto* notation = new QActionGroup(this);
    notation->addAction(action(CalcCommand::NotationWest));
    notation->addAction(action(CalcCommand::NotationEast));

    for (const CalcCommand::MenuEntry& entry : CalcCommand::MenuLayout()) {
        const QString path = Text(entry.Menu);
        if (!menus_.count(path)) {
            // Create every level of the path that does not exist yet.
            QString sofar;
            QMenu* parentMenu = nullptr;
            for (const QString& level : path.split(QLatin1Char('|'))) {
                sofar = sofar.isEmpty() ? level : sofar + QLatin1Char('|') + level;
                if (QMenu* existing = menuOf(sofar)) {
                    parentMenu = existing;
                    continue;
                }
                QMenu* created = parentMenu ? parentMenu->addMenu(level) : menuBar()->addMenu(level);
                created->setObjectName(QStringLiteral("Menu ") + sofar);
                if (!parentMenu)
                    connect(created, &QMenu::aboutToShow, this, &CCalcMainFrame::refreshCommandStates);
                menus_[sofar] = created;
                parentMenu = created;
            }
        }
        QMenu* menu = menuOf(path);
        if (entry.Command == CalcCommand::None)
            menu->addSeparator();
        else
            menu->addAction(action(entry.Command));
    }
}

void CCalcMainFrame::createToolBar()
{
    // The tool window comes first: the toolbar's units button drives it.
    unitsStep_ = new CCalcUnitsStep(Tevra::CalcSettings, this);
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
}

void CCalcMainFrame::createDockWindows()
{
    setDockNestingEnabled(true);
    logBar_ = new CCalcBar(LogBarId, QStringLiteral("Log"), CCalcBar::Sizing::Resizable, this);
    log_ = new CCalcLog(logBar_);
    log_->setObjectName(QStringLiteral("Log"));
    logBar_->setPanel(log_, QSize(120, 60));
    addDockWidget(Qt::BottomDockWidgetArea, logBar_);
    connect(log_, &CCalcLog::popupRequested, logBar_, [this] {
        logBar_->show();
        logBar_->raise();
    });
    NCalculatorText::LogReceiver = log_;
}

void CCalcMainFrame::connectFrameCommands()
{
    using namespace CalcCommand;
    bindCommand(FileNew, [this] { document_->newDocument(); });
    bindCommand(FileSave, [this] { document_->save(); });
    bindCommand(FileSaveAs, [this] { document_->saveAs(); });
    bindCommand(ExecuteFile, [this] { document_->executeFile(); });
    bindCommand(AppExit, [this] { close(); });
    bindCommand(MemoryFree, [this] { document_->Command(CmdFreeMemory); });
    bindCommand(MemoryLoad, [this] { document_->loadMemory(); });
    bindCommand(MemorySave, [this] { document_->saveMemory(); });
    new CCalcCalculateKeys(this);
    bindCommand(Calculate, [this] { document_->Command(CmdCalculate); });
    bindCommand(CalculateAll, [this] { document_->Command(CmdCalculateAll); });

    bindCommand(EditUndo, [this] { view_->undo(); });
    bindCommand(EditCut, [this] { view_->cut(); });
    bindCommand(EditCopy, [this] { view_->copy(); });
    bindCommand(EditPaste, [this] { view_->paste(); });
    connect(view_, &QPlainTextEdit::undoAvailable, this, &CCalcMainFrame::refreshCommandStates);
    connect(view_, &QPlainTextEdit::copyAvailable, this, &CCalcMainFrame::refreshCommandStates);

    bindCommand(ToggleToolBar, [this] { toolBar_->setVisible(action(ToggleToolBar)->isChecked()); });
    bindCommand(ToggleStatusBar, [this] { statusBar_->setVisible(action(ToggleStatusBar)->isChecked()); });
    bindCommand(ToggleLog, [this] {
        logBar_->setVisible(action(ToggleLog)->isChecked());
        if (logBar_->isVisible())
            logBar_->raise();
    });
    connect(toolBar_->toggleViewAction(), &QAction::toggled, action(ToggleToolBar), &QAction::setChecked);
    connect(logBar_->toggleViewAction(), &QAction::toggled, action(ToggleLog), &QAction::setChecked);

    bindCommand(NotationWest, [this] { setNotation(0); });
    bindCommand(NotationEast, [this] { setNotation(1); });
    bindCommand(TrigonometricUnits, [this] { toggleUnitsWindow(action(TrigonometricUnits)->isChecked()); });
    bindCommand(EditorFontSelect, [this] { view_->selectFont(); });
    bindCommand(EditorFontDefault, [this] { view_->setDefaultFont(); });
    connect(view_, &CCalcView::fontChanged, this, &CCalcMainFrame::refreshCommandStates);

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
    statusBar_->refreshResult(Tevra::CalcSettings, NCalculatorText::LastResult);
    statusBar_->refreshSSE2(Tevra::CalcSettings);
}

void CCalcMainFrame::refreshUnits()
{
    unitsStep_->refresh();
}

void CCalcMainFrame::refreshCommandStates()
{
    using namespace CalcCommand;
    const auto setEnabled = [this](int id, bool enabled) {
        QAction* command = action(id);
        command->setEnabled(command->property("bound").toBool() && enabled);
    };
    const bool memoryHoldsCells = Tevra::MemoryMap.Count() > 0;
    setEnabled(MemoryFree, memoryHoldsCells);
    setEnabled(MemorySave, memoryHoldsCells);
    setEnabled(EditUndo, view_->document()->isUndoAvailable());
    const bool selection = view_->textCursor().hasSelection();
    setEnabled(EditCut, selection);
    setEnabled(EditCopy, selection);

    action(NotationWest)->setChecked(Tevra::CalcSettings.Notation == 0);
    action(NotationEast)->setChecked(Tevra::CalcSettings.Notation == 1);
    action(EditorFontDefault)->setChecked(view_->isDefaultFont());
    action(ToggleToolBar)->setChecked(!toolBar_->isHidden());
    action(ToggleStatusBar)->setChecked(!statusBar_->isHidden());
    action(ToggleLog)->setChecked(!logBar_->isHidden());
    action(TrigonometricUnits)->setChecked(unitsWindow_->isVisible());
}

void CCalcMainFrame::setNotation(std::uint32_t notation)
{
    Tevra::CalcSettings.Notation = notation;
    Tevra::CalcSettings.Modified = true;
    refreshCommandStates();
    emit keypadCaptionsChanged();
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
    for (CCalcBar* bar : {logBar_}) {
        if (bar->isVisible() && bar->widget())
            panes.append(bar->widget());
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
