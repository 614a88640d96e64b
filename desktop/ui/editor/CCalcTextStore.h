// The editor's text and its edit history. The text holds lines separated by
// "\n", exactly as the engine and the calculation files see it, so every
// position here is a UTF-16 code unit of that text and needs no conversion.
// Each undoable edit is one step that remembers the selection before and
// after it; typing and deleting character by character join one step, as in
// every editor.
#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class CCalcTextStore final : public QObject {
    Q_OBJECT

public:
    // How an edit may join the step before it: typed text joins typing that
    // ended where it starts; deleted characters join deletions beside them.
    enum class EditKind { Other, Typing, DeleteBackward, DeleteForward };

    // A selection: its fixed end and the caret; both equal when empty.
    struct Selection {
        int Anchor = 0;
        int Position = 0;
        friend bool operator==(const Selection&, const Selection&) = default;
    };

    explicit CCalcTextStore(QObject* parent = nullptr);
    ~CCalcTextStore() override;

    const QString& text() const { return text_; }
    int size() const { return static_cast<int>(text_.size()); }
    // The code unit at position, or QChar() outside the text.
    QChar characterAt(int position) const;
    // What the change being announced by contentsChange removed.
    const QString& removedText() const { return removedText_; }

    // Replaces length code units at position by replacement as an undoable
    // step (joined to the step before it when kind allows). The range is
    // clamped to the text.
    void replace(int position, int length, const QString& replacement, EditKind kind, Selection before,
                 Selection after);
    // The next edit starts a step of its own (the caret moved in between).
    void closeStep();

    // Replaces length code units at position without an undo step; the
    // caller empties the history afterwards (a calculation's results).
    void replaceWithoutHistory(int position, int length, const QString& replacement);
    // The whole text, with an empty history, as freshly opened.
    void setText(const QString& text);
    void clearHistory();

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
    void contentsChange(int position, int removed, int added);
    void modificationChanged(bool modified);
    void undoAvailable(bool available);
    void redoAvailable(bool available);

private:
    struct Step {
        int Position = 0;
        QString Removed;
        QString Inserted;
        Selection Before;
        Selection After;
        EditKind Kind = EditKind::Other;
        bool Closed = false;
    };

    // Changes the text and tells the listeners.
    void apply(int position, int length, const QString& replacement);
    bool joinsLastStep(int position, int length, const QString& replacement, EditKind kind) const;
    // Undoes (or, forward, redoes) the last step of from and puts it on to.
    std::optional<Selection> moveStep(std::vector<Step>& from, std::vector<Step>& to, bool forward);
    // Emits the availability and modification signals that changed since
    // the states given.
    void announce(bool undoBefore, bool redoBefore, bool modifiedBefore);

    QString text_;
    QString removedText_;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    // The number of undo steps at which the text is as last opened or saved;
    // -1 when no number of steps leads back to it.
    qsizetype cleanDepth_ = 0;
};
