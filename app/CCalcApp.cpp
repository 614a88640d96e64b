#include "app/CCalcApp.h"

#include "app/CCalcAboutBox.h"
#include "app/CCalcPreferences.h"
#include "app/CCalcRecentFiles.h"
#include "app/CCalcSettingsNotifier.h"
#include "app/Preferences.h"
#include "document/CCalcDoc.h"
#include "document/CCalcDocPrompts.h"
#include "document/CCalcRecovery.h"
#include "ui/frame/CCalcMainFrame.h"
#include "app/CalcCommands.h"

#include <QFileInfo>
#include <QMenu>
#include <QTextStream>

#include <cstdio>

CCalcApp::CCalcApp(QObject* parent) : QObject(parent) {}

CCalcApp::~CCalcApp() = default;

CCalcApp::CommandLine CCalcApp::ParseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const QString flag = argument.toLower();
        if (flag == QLatin1String("/p") || flag == QLatin1String("-p") || flag == QLatin1String("/pt") ||
            flag == QLatin1String("-pt")) {
            line.Print = true;
            continue;
        }
        if (flag == QLatin1String("/dde") || flag == QLatin1String("-dde"))
            continue;
        if (line.Path.isEmpty()) {
            line.Path = argument;
            continue;
        }
        // Further words belong to "/pt" (printer, driver, port); otherwise
        // they are a mistake.
        if (!line.Print)
            line.Error = QStringLiteral("Unexpected argument: %1").arg(argument);
    }
    if (line.Print && line.Path.isEmpty())
        line.Error = QStringLiteral("No file to print was given");
    return line;
}

bool CCalcApp::start(const QStringList& arguments)
{
    // The command line first: one that makes no sense ends the program
    // before any window exists or any setting is read or written.
    const CommandLine line = ParseCommandLine(arguments);
    if (!line.Error.isEmpty()) {
        QTextStream(stderr) << line.Error << '\n';
        return false;
    }
    if (line.Print)
        QTextStream(stderr) << "Printing is not available in this version; the file is opened instead.\n";

    Tevra::LoadPreferences();

    frame_ = std::make_unique<CCalcMainFrame>();
    CCalcMainFrame& frame = *frame_;
    recentFiles_ = new CCalcRecentFiles(frame.menu(CalcMenu::File), frame.action(CalcCommand::RecentFile), this);
    recentFiles_->load();
    connect(recentFiles_, &CCalcRecentFiles::openRequested, this, &CCalcApp::openFile);
    connect(frame.document(), &CCalcDoc::fileUsed, recentFiles_, &CCalcRecentFiles::add);

    frame.bindCommand(CalcCommand::FileOpen, [this] { open(); });
    frame.bindCommand(CalcCommand::AppAbout, [this] { showAbout(); });
    frame.bindCommand(CalcCommand::Preferences, [this] { showPreferences(); });

    if (!line.Path.isEmpty() && !frame.document()->openDocument(line.Path))
        return false;

    frame.showWithStoredPlacement();
    // The panes, the lists and every window in line with the preferences.
    frame.settingsNotifier().announce();
    // The unsaved text of a run that was killed, offered once the window
    // shows.
    frame.document()->recovery()->offer(*frame.document()->prompts());
    return true;
}

void CCalcApp::shutdown()
{
    Tevra::SavePreferences();
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
    CCalcPreferences dialog(Tevra::CalcSettings, frame_.get());
    if (dialog.exec() != QDialog::Accepted)
        return;
    frame_->settingsNotifier().announce();
}
