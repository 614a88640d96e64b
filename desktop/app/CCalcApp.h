// The application: starts the program in order (command line, the hand-over
// to a running instance, preferences, main frame with its recent files,
// printing and help, the file asked for, first showing, the settings notice,
// the printer selection, the desktop registration), owns the Open, About and
// Preferences commands, the recent-file list and the open requests of later
// starts, prints a file asked for on the command line, and writes the
// preferences, the print settings and, when the user keeps it, the memory back
// at shutdown.
#pragma once

#include "desktop/app/CalcCommandLine.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class CCalcHelp;
class CCalcInstance;
class CCalcMainFrame;
class CCalcPrinting;
class CCalcRecentFiles;

class CCalcApp final : public QObject {
    Q_OBJECT

public:
    explicit CCalcApp(QObject* parent = nullptr);
    ~CCalcApp() override;

    // Runs start-up with the command-line arguments (without the program
    // name). False when the program ends at once: the command line was
    // answered (--help), handed to the running instance, wrong, asked for a
    // file to be printed, or could not be carried out. exitCode() then says
    // how it ended.
    bool start(const QStringList& arguments);
    // The program's exit status after start() returned false: 0 answered,
    // handed over or printed, 1 the file could not be opened or printed, 2 a
    // wrong command line.
    int exitCode() const { return exitCode_; }
    // Writes what must outlive the run (the preferences, when changed, and
    // the memory, when the user keeps it).
    void shutdown();

    CCalcMainFrame* frame() const { return frame_.get(); }
    CCalcRecentFiles* recentFiles() const { return recentFiles_; }
    CCalcPrinting* printing() const { return printing_.get(); }

    // The Open command: the Open dialog, then the chosen file as the document.
    void open();
    // Opens path as the document; a recent entry that cannot be read is
    // dropped from the list.
    bool openFile(const QString& path);
    void showAbout();
    void showPreferences();

    // What a command line asks for.
    using CommandLine = CalcCommandLine::Request;
    static CommandLine ParseCommandLine(const QStringList& arguments);

    // A later start asked to open path: the window comes up and opens it as
    // Open does (asking to save unsaved work first). While a dialog is open
    // the request waits for it to close.
    void openRequested(const QString& path);
    // A later start asked for the window: it is raised.
    void raiseWindow();

    // The help (its window, the help commands, F1 and context help).
    CCalcHelp* help() const { return help_.get(); }

private:
    // Becomes the running instance or hands the request over; false when
    // this start is to end.
    bool claimInstance(const CommandLine& line);
    void openPendingRequests();
    // Tells, without waiting for an answer, that the settings are not saved
    // or the kept memory could not be brought back.
    void showSettingsProblem(const QString& message, const QString& objectName = QStringLiteral("SettingsProblem"));
    // With KeepMemory set, brings back the memory of the last session; what
    // the user is to be told when it was set aside, else empty.
    QString loadSessionMemory();
    // With KeepMemory set, keeps the memory for the next session.
    void saveSessionMemory();
    // Opens the file of line and prints it without showing a window; what
    // goes wrong is said on standard error.
    bool printFromCommandLine(const CommandLine& line);

    std::unique_ptr<CCalcMainFrame> frame_;
    std::unique_ptr<CCalcHelp> help_;
    std::unique_ptr<CCalcPrinting> printing_;
    CCalcRecentFiles* recentFiles_ = nullptr;
    CCalcInstance* instance_ = nullptr;
    QStringList pendingOpens_;
    QTimer pendingRetry_;
    bool openingPending_ = false;
    bool keepsSessionMemory_ = true;
    int exitCode_ = 0;
};
