#include "app/CCalcApp.h"

#include "app/CCalcAboutBox.h"
#include "app/CCalcPreferences.h"
#include "app/CCalcRecentFiles.h"
#include "app/CCalcSettingsNotifier.h"
#include "app/Preferences.h"
#include "document/CCalcDoc.h"
#include "document/CCalcDocPrompts.h"
#include "document/CCalcRecovery.h"
#include "ui/editor/CCalcView.h"
#include "ui/frame/CCalcMainFrame.h"
#include "ui/print/CCalcPrinting.h"
#include "app/CalcCommands.h"

#include <QFileInfo>
#include <QMenu>
#include <QTextStream>

#include <cstdio>

CCalcApp::CCalcApp(QObject* parent) : QObject(parent) {}

CCalcApp::~CCalcApp() = default;

namespace {

// The command line's print requests: the spellings, the words that follow
// and what they are.
struct PrintForm {
    const char* Spelling;
    int Words;
    const char* Needs;  // said when words are missing
    void (*Take)(CCalcApp::CommandLine& line, const QStringList& words);
};

const PrintForm PrintForms[] = {
    {"/p", 1, "the file to print", [](CCalcApp::CommandLine& line, const QStringList& words) { line.Path = words[0]; }},
    {"/pt", 4, "the file, the printer, the driver and the port",
     [](CCalcApp::CommandLine& line, const QStringList& words) {
         line.Path = words[0];
         line.Printer = words[1];
         line.Driver = words[2];
         line.Port = words[3];
     }},
    {"--print", 1, "the file to print",
     [](CCalcApp::CommandLine& line, const QStringList& words) { line.Path = words[0]; }},
    {"--print-to", 2, "the printer and the file to print",
     [](CCalcApp::CommandLine& line, const QStringList& words) {
         line.Printer = words[0];
         line.Path = words[1];
     }},
};

const PrintForm* FindPrintForm(const QString& argument)
{
    QString flag = argument.toLower();
    // The shell's "/p" and "/pt" are also taken as "-p" and "-pt".
    if (flag == QLatin1String("-p") || flag == QLatin1String("-pt"))
        flag[0] = u'/';
    for (const PrintForm& form : PrintForms) {
        if (flag == QLatin1String(form.Spelling))
            return &form;
    }
    return nullptr;
}

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
};

}  // namespace

CCalcApp::CommandLine CCalcApp::ParseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size() && line.Error.isEmpty(); ++i) {
        const QString& argument = arguments[i];
        const QString flag = argument.toLower();
        if (flag == QLatin1String("/dde") || flag == QLatin1String("-dde"))
            continue;
        if (const PrintForm* form = FindPrintForm(argument)) {
            if (line.Print || !line.Path.isEmpty()) {
                line.Error = QStringLiteral("Unexpected argument: %1").arg(argument);
                break;
            }
            const QStringList words = arguments.mid(i + 1, form->Words);
            if (words.size() < form->Words) {
                line.Error =
                    QStringLiteral("%1 needs %2").arg(QLatin1String(form->Spelling), QLatin1String(form->Needs));
                break;
            }
            line.Print = true;
            form->Take(line, words);
            i += form->Words;
            continue;
        }
        if (line.Path.isEmpty() && !line.Print) {
            line.Path = argument;
            continue;
        }
        line.Error = QStringLiteral("Unexpected argument: %1").arg(argument);
    }
    if (line.Print && line.Path.isEmpty() && line.Error.isEmpty())
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

    Tevra::LoadPreferences();
    if (line.Print) {
        exitStatus_ = printFromCommandLine(line) ? 0 : 1;
        return false;
    }

    frame_ = std::make_unique<CCalcMainFrame>();
    CCalcMainFrame& frame = *frame_;
    recentFiles_ = new CCalcRecentFiles(frame.menu(CalcMenu::File), frame.action(CalcCommand::RecentFile), this);
    recentFiles_->load();
    connect(recentFiles_, &CCalcRecentFiles::openRequested, this, &CCalcApp::openFile);
    connect(frame.document(), &CCalcDoc::fileUsed, recentFiles_, &CCalcRecentFiles::add);

    frame.bindCommand(CalcCommand::FileOpen, [this] { open(); });
    frame.bindCommand(CalcCommand::AppAbout, [this] { showAbout(); });
    frame.bindCommand(CalcCommand::Preferences, [this] { showPreferences(); });
    CCalcDoc* document = frame.document();
    printing_ = std::make_unique<CCalcPrinting>(
        *frame.view(),
        CCalcPrinting::Document{[document] { return document->pathName(); }, [document] { return document->title(); }},
        &frame);
    printing_->loadSettings();
    printing_->bindCommands(frame);

    if (!line.Path.isEmpty() && !frame.document()->openDocument(line.Path))
        return false;

    frame.showWithStoredPlacement();
    // The panes, the lists and every window in line with the preferences.
    frame.settingsNotifier().announce();
    printing_->loadPrinterSelection();
    // The unsaved text of a run that was killed, offered once the window
    // shows.
    frame.document()->recovery()->offer(*frame.document()->prompts());
    exitStatus_ = 0;
    return true;
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
    CCalcPreferences dialog(Tevra::CalcSettings, frame_.get());
    if (dialog.exec() != QDialog::Accepted)
        return;
    frame_->settingsNotifier().announce();
}
