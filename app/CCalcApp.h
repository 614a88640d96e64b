// The application: starts the program in order (command line, preferences,
// main frame with its recent files and printing, the file asked for, first
// showing, the settings notice, the printer selection), owns the Open, About
// and Preferences commands and the recent-file list, prints a file asked for
// on the command line, and writes the preferences and the print settings back
// at shutdown.
#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class CCalcMainFrame;
class CCalcPrinting;
class CCalcRecentFiles;

class CCalcApp final : public QObject {
    Q_OBJECT

public:
    explicit CCalcApp(QObject* parent = nullptr);
    ~CCalcApp() override;

    // Runs start-up with the command-line arguments (without the program
    // name). False when the program ends here: the command line could not be
    // carried out, or it asked for a file to be printed; exitStatus() says
    // how it ended.
    bool start(const QStringList& arguments);
    // 0 after a file printed from the command line, 1 after a failure.
    int exitStatus() const { return exitStatus_; }
    // Writes what must outlive the run (the preferences, when changed).
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
    struct CommandLine {
        QString Path;        // a file to open; empty for a new calculation
        bool Print = false;  // "/p", "/pt", "--print", "--print-to": print the file and exit
        QString Printer;     // the printer to print on; empty for the default printer
        QString Driver;      // as "/pt" gives them
        QString Port;
        QString Error;  // non-empty when the arguments make no sense
    };
    static CommandLine ParseCommandLine(const QStringList& arguments);

private:
    // Opens the file of line and prints it without showing a window; what
    // goes wrong is said on standard error.
    bool printFromCommandLine(const CommandLine& line);

    std::unique_ptr<CCalcMainFrame> frame_;
    std::unique_ptr<CCalcPrinting> printing_;
    int exitStatus_ = 1;
    CCalcRecentFiles* recentFiles_ = nullptr;
};
