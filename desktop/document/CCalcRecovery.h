// The recovery copy of unsaved text: while the document holds changes that
// are not saved, its text is written, within RecoveryDelayMilliseconds of a
// change, to a file of its own under the program's state directory
// ($XDG_STATE_HOME, or ~/.local/state, then "Vossek/Calculator Tevra"). The
// copy is written atomically on a thread of its own, so a kill at any moment
// leaves the previous copy or the new one, and the window never waits for
// the disk. The copy's name is this instance's and this document's own, so
// that two running instances never write or remove each other's copies; the
// folder and the copies are private to the user (see CalcRecoveryFiles).
//
// The copy goes once the text is safe or given up: when the document becomes
// unmodified (saved, or replaced after "Save changes" was answered) and at a
// clean exit. At start-up offer() finds the copies that instances which have
// ended left behind.
#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <string>

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
    // This document's copy for a document path (empty for a new document).
    QString fileFor(const QString& documentPath) const;

    // Called once the start-up document is open. Every copy an ended
    // instance left (but those overtaken by a later save of their file) is
    // offered, newest first: Yes opens the copy's document, if it has one,
    // and puts the copy's text in the editor as unsaved changes, No deletes
    // the copy, Escape keeps it for the next start. Copies are written and
    // removed only from here on, so that start-up never loses one.
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
    void recover(const QString& name, const QString& documentPath, const std::string& bytes);

    CCalcDoc& document_;
    bool armed_ = false;
    // Copies are written only while this instance holds its lock.
    bool locked_ = false;
    // This document's number in the instance, part of its copy's name.
    int serial_ = 0;
    QString file_;
    QTimer delay_;
    // One thread, so that writes and removals happen in the order asked.
    QThreadPool disk_;
};
