// The editor's text and its edit history. The text holds lines separated by
// "\n", exactly as the engine and the calculation files see it, so every
// position here is a UTF-16 code unit of that text and needs no conversion.
// Each undoable edit is one step that remembers the selection before and
// after it; typing and deleting character by character join one step, as in
// every editor. Edits made inside an edit group (beginEditGroup() ..
// endEditGroup(), or an EditGroup's lifetime) undo and redo as one step.
// The history is bounded by the memory its steps hold: past the limit the
// oldest steps are dropped first.
#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <optional>

#include "desktop/ui/editor/CTextRange.h"

class CCalcTextStore final : public QObject {
    Q_OBJECT

public:
    // How an edit may join the step before it: typed text joins typing that
    // ended where it starts; deleted characters join deletions beside them.
    enum class EditKind { Other, Typing, DeleteBackward, DeleteForward };

    // A selection: its fixed end and the caret; both equal when empty.
    struct Selection {
        CTextPosition Anchor = 0;
        CTextPosition Position = 0;
        friend bool operator==(const Selection&, const Selection&) = default;
    };

    explicit CCalcTextStore(QObject* parent = nullptr);
    ~CCalcTextStore() override;

    const QString& text() const { return text_; }
    int size() const { return TextLength(text_); }
    // The code unit at position, or QChar() outside the text.
    QChar characterAt(CTextPosition position) const;
    // What the change being announced by contentsChange removed.
    const QString& removedText() const { return removedText_; }

    // Replaces length code units at position by replacement as an undoable
    // step (joined to the step before it when kind allows). The range is
    // clamped to the text.
    void replace(CTextPosition position, int length, const QString& replacement, EditKind kind, Selection before,
                 Selection after);
    // The next edit starts a step of its own (the caret moved in between).
    void closeStep();

    // Every edit from beginEditGroup() to the matching endEditGroup() is
    // undone and redone together: undo gives the selection before the
    // first, redo the one after the last. Groups nest (the outermost counts);
    // a group without edits leaves no step.
    void beginEditGroup();
    void endEditGroup();
    bool isInEditGroup() const { return groupDepth_ > 0; }
    // An edit group for the lifetime of the object.
    class EditGroup {
    public:
        explicit EditGroup(CCalcTextStore& store) : store_(store) { store_.beginEditGroup(); }
        ~EditGroup() { store_.endEditGroup(); }
        EditGroup(const EditGroup&) = delete;
        EditGroup& operator=(const EditGroup&) = delete;

    private:
        CCalcTextStore& store_;
    };

    // Replaces length code units at position without an undo step; the
    // caller empties the history afterwards (a calculation's results).
    void replaceWithoutHistory(CTextPosition position, int length, const QString& replacement);
    // The whole text, with an empty history, as freshly opened.
    void setText(const QString& text);
    void clearHistory();

    // The most memory the history keeps, in bytes of its steps' texts and
    // records, undo and redo together.
    static constexpr qsizetype DefaultHistoryLimit = qsizetype{64} * 1024 * 1024;
    qsizetype historyLimit() const { return historyLimit_; }
    // Drops the oldest steps at once when the history holds more.
    void setHistoryLimit(qsizetype bytes);
    // The memory the history holds now, counted as the limit counts it.
    qsizetype historyBytes() const { return historyBytes_; }

    bool isUndoAvailable() const { return !undo_.empty(); }
    bool isRedoAvailable() const { return !redo_.empty(); }
    // Takes back the last step; gives the selection before it, or nothing
    // when there is no step.
    std::optional<Selection> undo();
    // Does the last step taken back again; gives the selection after it.
    std::optional<Selection> redo();

    // True while the text differs from the one last opened or saved.
    bool isModified() const;
    void setModified(bool modified);

signals:
    // Emitted after every change: removed code units at position were
    // replaced by added ones.
    void contentsChange(CTextPosition position, int removed, int added);
    void modificationChanged(bool modified);
    void undoAvailable(bool available);
    void redoAvailable(bool available);

private:
    struct Step {
        CTextPosition Position = 0;
        QString Removed;
        QString Inserted;
        Selection Before;
        Selection After;
        EditKind Kind = EditKind::Other;
        bool Closed = false;
        // The edit group the step was made in, or 0; the steps of a group
        // stand together and move together.
        int Group = 0;
    };
    using Steps = std::deque<Step>;

    // Changes the text and tells the listeners.
    void apply(CTextPosition position, int length, const QString& replacement);
    bool joinsLastStep(CTextPosition position, int length, const QString& replacement, EditKind kind) const;
    // Undoes (or, forward, redoes) the last step of from, with the steps of
    // its edit group, and puts them on to.
    std::optional<Selection> moveStep(Steps& from, Steps& to, bool forward);
    static qsizetype stepBytes(const Step& step);
    // Drops the oldest undo steps, a group at a time, while the history holds
    // more than its limit; the group being made stays.
    void trimHistory();
    void dropRedo();
    // Emits the availability and modification signals that changed since
    // the states given.
    void announce(bool undoBefore, bool redoBefore, bool modifiedBefore);

    QString text_;
    QString removedText_;
    Steps undo_;
    Steps redo_;
    qsizetype historyBytes_ = 0;
    qsizetype historyLimit_ = DefaultHistoryLimit;
    // The number of undo steps at which the text is as last opened or saved;
    // -1 when no number of steps leads back to it.
    qsizetype cleanDepth_ = 0;
    int groupDepth_ = 0;
    // The group the edits made now belong to, and the last one given out.
    int group_ = 0;
    int lastGroup_ = 0;
};
