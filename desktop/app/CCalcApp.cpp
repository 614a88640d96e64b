#include "desktop/app/CCalcApp.h"

#include "desktop/services/CCalcAboutBox.h"
#include "desktop/app/CCalcInstance.h"
#include "desktop/services/CCalcPreferences.h"
#include "desktop/services/CCalcRecentFiles.h"
#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/app/DesktopIntegration.h"
#include "desktop/services/Preferences.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/document/CCalcDoc.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "desktop/document/CCalcRecovery.h"
#include "desktop/document/CalcSessionMemory.h"
#include "desktop/ui/editor/CCalcView.h"
#include "desktop/frame/CCalcMainFrame.h"
#include "desktop/ui/help/CCalcHelp.h"
#include "desktop/ui/print/CCalcPrinting.h"
#include "desktop/services/CalcCommands.h"
#include "core/engine/EngineState.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QTextStream>

#include <cstdio>

CCalcApp::CCalcApp(QObject* parent) : QObject(parent) {}

CCalcApp::~CCalcApp() = default;

namespace {

// What the user is told, once, when the settings store cannot be used.
const QString SettingsCannotBeSaved = QStringLiteral("Settings cannot be saved: %1");

// Warnings of a document that prints from the command line go to standard
// error, one line each; no window is shown and nobody is asked anything.
class ConsolePrompts final : public ICalcDocPrompts {
public:
    QString chooseFileToOpen(const CalcFileDialogRequest&) override { return {}; }
    QString chooseFileToSave(const CalcFileDialogRequest&) override { return {}; }
    void warn(const QString& message, const QString& detail) override
    {
        QString line = message;
        if (!detail.isEmpty())
            line += QStringLiteral(": ") + QString(detail).replace(u'\n', QStringLiteral(": "));
        QTextStream(stderr) << line << '\n';
    }
    bool confirm(const QString&) override { return false; }
    SaveChoice askSaveChanges(const QString&) override { return SaveChoice::Discard; }
    RecoverAnswer askRecover(const QString&, const QStringList&) override { return {}; }
};

}  // namespace

CCalcApp::CommandLine CCalcApp::ParseCommandLine(const QStringList& arguments)
{
    return CalcCommandLine::Parse(arguments);
}

bool CCalcApp::start(const QStringList& arguments)
{
    // The command line first: one that makes no sense ends the program
    // before any window exists or any setting is read or written.
    const CommandLine line = ParseCommandLine(arguments);
    if (!line.Error.isEmpty()) {
        QTextStream(stderr) << "calculator-tevra: " << line.Error << " (try 'calculator-tevra --help')\n";
        exitCode_ = 2;
        return false;
    }
    if (line.Answer != CommandLine::Action::Run) {
        QTextStream(stdout) << (line.Answer == CommandLine::Action::Help ? CalcCommandLine::HelpText()
                                                                         : CalcCommandLine::VersionText() + "\n");
        exitCode_ = 0;
        return false;
    }
    if (!claimInstance(line)) {
        exitCode_ = 0;
        return false;
    }

    // A store that cannot be saved (or is too large to read) is left as it
    // is: the process keeps its settings to itself, and says so once.
    QString settingsProblem;
    if (!Tevra::SettingsArePrivate()) {
        settingsProblem = Tevra::SettingsStoreProblem();
        if (!settingsProblem.isEmpty()) {
            QTextStream(stderr) << SettingsCannotBeSaved.arg(settingsProblem) << "\n";
            Tevra::KeepSettingsPrivate(!Tevra::SettingsStoreTooLarge());
        }
    }
    Tevra::LoadPreferences();
    if (line.Print) {
        exitCode_ = printFromCommandLine(line) ? 0 : 1;
        return false;
    }
    // The memory of the last session, before any window or file.
    const QString sessionMemoryProblem = loadSessionMemory();

    // The help before the windows: a window's own answer to F1 comes first.
    help_ = std::make_unique<CCalcHelp>();
    frame_ = std::make_unique<CCalcMainFrame>();
    CCalcMainFrame& frame = *frame_;
    recentFiles_ = new CCalcRecentFiles(frame.menu(CalcMenu::File), frame.action(CalcCommand::RecentFile), this);
    recentFiles_->load();
    connect(recentFiles_, &CCalcRecentFiles::openRequested, this, &CCalcApp::openFile);
    connect(frame.document(), &CCalcDoc::fileUsed, recentFiles_, &CCalcRecentFiles::add);

    frame.bindCommand(CalcCommand::FileOpen, [this] { open(); });
    frame.bindCommand(CalcCommand::AppAbout, [this] { showAbout(); });
    frame.bindCommand(CalcCommand::Preferences, [this] { showPreferences(); });
    help_->attach(frame.helpRequests(), &frame);
    help_->bindCommands(frame);
    CCalcDoc* document = frame.document();
    printing_ = std::make_unique<CCalcPrinting>(
        *frame.view(),
        CCalcPrinting::Document{[document] { return document->pathName(); }, [document] { return document->title(); }},
        &frame);
    printing_->loadSettings();
    printing_->bindCommands(frame);

    if (!line.Path.isEmpty() && !frame.document()->openDocument(line.Path)) {
        exitCode_ = 1;
        return false;
    }

    frame.showWithStoredPlacement();
    // The panes, the lists and every window in line with the preferences.
    frame.settingsNotifier().announce();
    printing_->loadPrinterSelection();
    // The unsaved text of a run that was killed, offered once the window
    // shows.
    frame.document()->recovery()->offer(*frame.document()->prompts());
    if (!settingsProblem.isEmpty())
        showSettingsProblem(SettingsCannotBeSaved.arg(settingsProblem));
    if (!sessionMemoryProblem.isEmpty())
        showSettingsProblem(sessionMemoryProblem, QStringLiteral("SessionMemoryProblem"));
    // The file types and the desktop entry, once the window is up.
    QTimer::singleShot(0, this, [] { Tevra::Desktop::RegisterInBackground(); });
    return true;
}

bool CCalcApp::claimInstance(const CommandLine& line)
{
    // A print job does its work and ends: it neither serves nor hands over,
    // and it leaves the settings to the running instance.
    if (line.Print) {
        Tevra::KeepSettingsPrivate();
        return true;
    }
    instance_ = new CCalcInstance(this);
    const QString path = line.Path.isEmpty() ? QString() : QFileInfo(line.Path).absoluteFilePath();
    switch (instance_->claim(path)) {
    case CCalcInstance::Claim::HandedOver:
        return false;
    case CCalcInstance::Claim::Unreachable:
        // Whether an instance runs cannot be told: this start shows its own
        // window and keeps its settings to itself.
        QTextStream(stderr) << "The running Calculator Tevra cannot be reached; starting another window.\n";
        Tevra::KeepSettingsPrivate();
        // The running instance keeps the memory at its exit; this one only
        // reads what was kept.
        keepsSessionMemory_ = false;
        return true;
    case CCalcInstance::Claim::Alone:
        // No instance can listen where something else stands: this start
        // runs on its own and keeps its settings as usual.
        QTextStream(stderr) << "Calculator Tevra starts without handing over: " << instance_->reason() << ".\n";
        return true;
    case CCalcInstance::Claim::Primary:
        if (!instance_->reason().isEmpty())
            QTextStream(stderr) << "Calculator Tevra: " << instance_->reason() << ".\n";
        break;
    }
    connect(instance_, &CCalcInstance::openRequested, this, &CCalcApp::openRequested);
    connect(instance_, &CCalcInstance::raiseRequested, this, &CCalcApp::raiseWindow);
    pendingRetry_.setSingleShot(true);
    pendingRetry_.setInterval(250);
    connect(&pendingRetry_, &QTimer::timeout, this, &CCalcApp::openPendingRequests);
    return true;
}

void CCalcApp::openRequested(const QString& path)
{
    pendingOpens_.append(path);
    openPendingRequests();
}

void CCalcApp::openPendingRequests()
{
    if (!frame_ || openingPending_)
        return;
    // A dialog of this window (Preferences, a question) finishes first.
    if (QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr) {
        if (!pendingOpens_.isEmpty())
            pendingRetry_.start();
        return;
    }
    openingPending_ = true;
    while (!pendingOpens_.isEmpty()) {
        raiseWindow();
        openFile(pendingOpens_.takeFirst());
    }
    openingPending_ = false;
}

void CCalcApp::raiseWindow()
{
    if (!frame_)
        return;
    frame_->setWindowState(frame_->windowState() & ~Qt::WindowMinimized);
    frame_->show();
    frame_->raise();
    frame_->activateWindow();
}

bool CCalcApp::printFromCommandLine(const CommandLine& line)
{
    ConsolePrompts prompts;
    // The document and its editor, never shown.
    CCalcView view;
    CCalcDoc document(&view, &prompts);
    if (!document.openDocument(line.Path))
        return false;
    CCalcPrinting printing(
        view,
        CCalcPrinting::Document{[&document] { return document.pathName(); }, [&document] { return document.title(); }},
        nullptr);
    printing.loadSettings();
    QString error;
    if (printing.printWithoutDialogs(line.Printer, error))
        return true;
    QTextStream(stderr) << error << '\n';
    return false;
}

void CCalcApp::shutdown()
{
    Tevra::SavePreferences();
    saveSessionMemory();
    if (printing_)
        printing_->saveSettings();
}

void CCalcApp::open()
{
    CCalcDoc* document = frame_->document();
    const CalcFileDialogRequest request{QStringLiteral("Open"),
                                        {CalcFileFilters::Calculation, CalcFileFilters::Memory, CalcFileFilters::All},
                                        QStringLiteral("vcm"),
                                        QString()};
    const QString path = document->prompts()->chooseFileToOpen(request);
    if (!path.isEmpty())
        openFile(path);
}

bool CCalcApp::openFile(const QString& path)
{
    if (frame_->document()->openDocument(path))
        return true;
    if (!QFileInfo(path).isReadable())
        recentFiles_->remove(path);
    return false;
}

void CCalcApp::showAbout()
{
    CCalcAboutBox about(frame_.get());
    about.exec();
}

void CCalcApp::showPreferences()
{
    CCalcPreferences dialog(NCalculatorText::State().CalcSettings, frame_.get());
    if (dialog.exec() != QDialog::Accepted)
        return;
    frame_->settingsNotifier().announce();
}

QString CCalcApp::loadSessionMemory()
{
    if (NCalculatorText::State().CalcSettings.KeepMemory == 0)
        return {};
    const CalcSessionMemory::LoadOutcome outcome = CalcSessionMemory::Load(CCalcRecovery::Directory());
    if (outcome.Result != CalcSessionMemory::LoadOutcome::Kind::SetAside)
        return {};
    QTextStream(stderr) << outcome.Message << "\n";
    return outcome.Message;
}

void CCalcApp::saveSessionMemory()
{
    // Only a program that ran its window keeps its memory, and only while
    // no calculation holds the memory.
    if (!frame_ || !keepsSessionMemory_ || NCalculatorText::State().CalcSettings.KeepMemory == 0 ||
        frame_->document()->isCalculating())
        return;
    if (const QString error = CalcSessionMemory::Save(CCalcRecovery::Directory()); !error.isEmpty())
        QTextStream(stderr) << "The memory cannot be kept for the next session: " << error << "\n";
}

void CCalcApp::showSettingsProblem(const QString& message, const QString& objectName)
{
    // Not modal: the window answers while the note stands.
    auto* box = new QMessageBox(QMessageBox::Warning, QApplication::applicationDisplayName(), message, QMessageBox::Ok,
                                frame_.get());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(objectName);
    box->open();
}
