// The application: starts the program in order (command line, preferences,
// main frame with its recent files, the file asked for, first showing, the
// settings notice), owns
// the Open, About and Preferences commands and the recent-file list, and
// writes the preferences back at shutdown.
#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class CCalcMainFrame;
class CCalcRecentFiles;

class CCalcApp final : public QObject {
    Q_OBJECT

public:
    explicit CCalcApp(QObject* parent = nullptr);
    ~CCalcApp() override;

    // Runs start-up with the command-line arguments (without the program
    // name). False when the command line could not be carried out: the
    // program then ends.
    bool start(const QStringList& arguments);
    // Writes what must outlive the run (the preferences, when changed).
    void shutdown();

    CCalcMainFrame* frame() const { return frame_.get(); }
    CCalcRecentFiles* recentFiles() const { return recentFiles_; }

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
        bool Print = false;  // "/p" or "/pt": print the file and exit
        QString Error;       // non-empty when the arguments make no sense
    };
    static CommandLine ParseCommandLine(const QStringList& arguments);

private:
    std::unique_ptr<CCalcMainFrame> frame_;
    CCalcRecentFiles* recentFiles_ = nullptr;
};
