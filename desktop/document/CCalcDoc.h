// The program's single calculation document and the keypad's command
// receiver: it binds the document's commands and keeps what the user sees of
// the document (path, title, modified state, the questions it asks), while
// CCalcDocFile reads and writes its file, CCalcMemoryCommands runs the memory
// and executed files and CCalcRunner its calculations, and the text itself
// lives in the editor.
#pragma once

#include "core/files/CCalcRunReport.h"
#include "desktop/document/CCalcDocFile.h"
#include "desktop/document/CCalcMemoryCommands.h"
#include "desktop/ui/CCalcCmdReceiver.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CCalcCalculation;
class CCalcFileWatch;
class CCalcRecovery;
class CCalcRunner;
class CCalcView;
class ICalcCommandBinder;
class ICalcDocPrompts;

class CCalcDoc final : public QObject, public ICmdReceiver {
    Q_OBJECT

public:
    CCalcDoc(CCalcView* editor, ICalcDocPrompts* prompts, QObject* parent = nullptr);

    // ICmdReceiver
    void Command(std::uint32_t code) override;
    void InsertText(std::u16string_view text) override;

    // Binds the document's commands: New, Save, Save As, Execute, the three
    // memory commands (Free and Save greyed while the memory is empty) and
    // the two calculate commands.
    void bindCommands(ICalcCommandBinder& commands);

    // File commands. Each returns false when cancelled or failed.
    bool newDocument();
    bool openDocument(const QString& path);  // asks to save unsaved work first
    bool save();
    bool saveAs();
    // Asks "Save changes to ...?" when there is unsaved work; false means the
    // user cancelled (or the save failed) and the caller must not go on.
    bool saveModified();

    // Document-level commands of the Memory and File menus.
    void executeFile();
    void freeMemory();
    void loadMemory();
    // Asks for a file and saves every cell (all) or the ticked cells.
    void saveMemory(bool all = true);

    QString pathName() const { return pathName_; }
    // The file name of the path, or "Calculation" while it has none.
    QString title() const;
    bool isModified() const;
    ICalcDocPrompts* prompts() const { return prompts_; }
    void setPrompts(ICalcDocPrompts* prompts);
    CCalcView* editor() const { return editor_; }

    // Calculate, Calculate all, Execute and Memory Load run on a worker
    // thread, one at a time; meanwhile the editor takes no edits and every
    // command that would touch the engine's state waits (see
    // CalcCommand::Info::WaitsForCalculation). The result is applied when the
    // worker is done, exactly as a calculation on this thread would be.
    bool isCalculating() const;
    // Asks the running calculation to stop; it ends as a failing statement
    // does, with the cancel record in the log.
    void cancelCalculation();
    CCalcCalculation* calculation() const;
    // The recovery copy of the unsaved text.
    CCalcRecovery* recovery() const { return recovery_; }
    // The document's file as other programs change it. A change seen while
    // the text is unmodified reloads it (and says so in the status bar);
    // with unsaved changes the user is asked whether to reload; Save asks
    // before it overwrites a file changed, or re-creates one deleted, by
    // another program.
    CCalcFileWatch* fileWatch() const { return watch_; }
    // Before the window closes: with a calculation running, asks whether to
    // cancel it and, on Yes, cancels it and waits for it to stop. False when
    // the window stays open.
    bool endCalculationBeforeClosing();

    // Takes the memory's Changed flag and, when it was set, emits
    // memoryChanged(). Called after every calculation, execution and free;
    // a window that frees or loads memory itself calls it afterwards.
    void noticeMemoryChange();

    // The editor's whole text as the engine sees it: lines separated by "\n".
    std::u16string editorText() const;

signals:
    // The editor's text is about to be calculated (CCalcRunner).
    void calculationStarting();
    // A calculation started or ended (its result applied).
    void calculationRunningChanged(bool running);
    void pathChanged();
    void modifiedChanged(bool modified);
    // The last result may have changed (a calculation or a file ran).
    void resultChanged();
    // A run cleared the log and filled it again: the statement of each of
    // its records in the editor's text, in the order of the log's rows, once
    // the text is back in the editor. The runs of an executed file name no
    // statement of the editor, so theirs is an empty list.
    void runReported(const std::vector<CCalcReportedStatement>& statements);
    // Memory cells were read, stored or freed since the last notice: the
    // memory window rebuilds its list. Emitted after a run or a free only
    // when the memory's Changed flag was set (see noticeMemoryChange).
    void memoryChanged();
    // A file was opened or saved under this path (for the recent-file list).
    void fileUsed(const QString& path);
    // What the status bar should say about the open file; empty for nothing.
    void fileNotice(const QString& notice);

private:
    void clearText();
    void backspace();
    bool readDocument(const QString& path);
    // After the file was written to path: the text is saved under it.
    void wroteDocument(const QString& path);
    void setPathName(const QString& path);
    void fileChangedOnDisk();
    // Before Save writes over the file: false when the user keeps it.
    bool mayWriteOverFile();

    CCalcView* editor_;
    ICalcDocPrompts* prompts_;
    CCalcRunner* runner_;
    CCalcDocFile file_;
    CCalcMemoryCommands memory_;
    CCalcRecovery* recovery_ = nullptr;
    CCalcFileWatch* watch_ = nullptr;
    bool askingAboutFile_ = false;
    bool deletionReported_ = false;
    QString pathName_;
};
