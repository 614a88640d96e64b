// The recovery copy of unsaved text: while the document holds changes that
// are not saved, its text is written, within RecoveryDelayMilliseconds of a
// change, to a file of its own under the program's state directory
// ($XDG_STATE_HOME, or ~/.local/state, then "Vossek/Calculator Tevra"). The
// copy is written atomically on a thread of its own, so a kill at any moment
// leaves the previous copy or the new one, and the window never waits for
// the disk.
//
// The copy goes once the text is safe or given up: when the document becomes
// unmodified (saved, or replaced after "Save changes" was answered) and at a
// clean exit. At start-up offer() finds the copy a killed run left behind.
#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

class CCalcDoc;
class ICalcDocPrompts;

class CCalcRecovery final : public QObject {
    Q_OBJECT

public:
    static constexpr int RecoveryDelayMilliseconds = 2000;

    explicit CCalcRecovery(CCalcDoc& document);
    // Waits for a copy being written; the copy stays.
    ~CCalcRecovery() override;

    // The directory the copies live in.
    static QString Directory();
    // The copy's file for a document path (empty for a new document).
    static QString FileFor(const QString& documentPath);

    // Called once the start-up document is open. A copy of it that is newer
    // than its file is offered: Yes puts the copy's text in the editor as
    // unsaved changes, No deletes it. Copies are written and removed only
    // from here on, so that start-up never loses one.
    void offer(ICalcDocPrompts& prompts);
    // A clean exit: the copy is removed.
    void discard();
    // Waits until every write and removal asked for is done.
    void waitForDisk();

    QString currentFile() const { return file_; }

private:
    void textChanged();
    void modifiedChanged(bool modified);
    void pathChanged();
    void writeNow();
    void remove(const QString& file);

    CCalcDoc& document_;
    bool armed_ = false;
    QString file_;
    QTimer delay_;
    // One thread, so that writes and removals happen in the order asked.
    QThreadPool disk_;
};
