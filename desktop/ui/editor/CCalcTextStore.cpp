#include "desktop/ui/editor/CCalcTextStore.h"

#include <algorithm>

CCalcTextStore::CCalcTextStore(QObject* parent) : QObject(parent) {}

CCalcTextStore::~CCalcTextStore() = default;

QChar CCalcTextStore::characterAt(CTextPosition position) const
{
    return position >= 0 && position < size() ? text_.at(position) : QChar();
}

bool CCalcTextStore::isModified() const
{
    return static_cast<qsizetype>(undo_.size()) != cleanDepth_;
}

void CCalcTextStore::setModified(bool modified)
{
    const bool before = isModified();
    cleanDepth_ = modified ? -1 : static_cast<qsizetype>(undo_.size());
    if (before != isModified())
        emit modificationChanged(isModified());
}

void CCalcTextStore::apply(CTextPosition position, int length, const QString& replacement)
{
    removedText_ = text_.mid(position, length);
    text_.replace(position, length, replacement);
    emit contentsChange(position, length, TextLength(replacement));
    removedText_.clear();
}

bool CCalcTextStore::joinsLastStep(CTextPosition position, int length, const QString& replacement, EditKind kind) const
{
    // A step right after opening or saving stays apart, so that undo can go
    // back exactly to the saved text.
    if (undo_.empty() || !isModified() || kind == EditKind::Other || isInEditGroup())
        return false;
    const Step& last = undo_.back();
    if (last.Closed || last.Kind != kind)
        return false;
    switch (kind) {
    case EditKind::Typing:
        return length == 0 && position == last.Position + last.Inserted.size();
    case EditKind::DeleteBackward:
        return replacement.isEmpty() && last.Inserted.isEmpty() && position + length == last.Position;
    case EditKind::DeleteForward:
        return replacement.isEmpty() && last.Inserted.isEmpty() && position == last.Position;
    case EditKind::Other:
        break;
    }
    return false;
}

void CCalcTextStore::replace(CTextPosition position, int length, const QString& replacement, EditKind kind,
                             Selection before, Selection after)
{
    position = std::clamp(position, 0, size());
    length = std::clamp(length, 0, size() - position);
    if (length == 0 && replacement.isEmpty())
        return;
    const bool undoBefore = isUndoAvailable();
    const bool redoBefore = isRedoAvailable();
    const bool modifiedBefore = isModified();
    const QString removed = text_.mid(position, length);

    dropRedo();
    if (joinsLastStep(position, length, replacement, kind)) {
        Step& last = undo_.back();
        historyBytes_ -= stepBytes(last);
        if (kind == EditKind::Typing) {
            last.Inserted += replacement;
        } else if (kind == EditKind::DeleteBackward) {
            last.Removed.prepend(removed);
            last.Position = position;
        } else {
            last.Removed += removed;
        }
        last.After = after;
        historyBytes_ += stepBytes(last);
    } else {
        // The saved text lay among the steps taken back: no step leads there now.
        if (cleanDepth_ > static_cast<qsizetype>(undo_.size()))
            cleanDepth_ = -1;
        undo_.push_back(Step{position, removed, replacement, before, after, kind, false, group_});
        historyBytes_ += stepBytes(undo_.back());
    }
    trimHistory();
    apply(position, length, replacement);
    announce(undoBefore, redoBefore, modifiedBefore);
}

void CCalcTextStore::closeStep()
{
    if (!undo_.empty())
        undo_.back().Closed = true;
}

void CCalcTextStore::beginEditGroup()
{
    if (groupDepth_++ == 0)
        group_ = ++lastGroup_;
}

void CCalcTextStore::endEditGroup()
{
    if (groupDepth_ == 0 || --groupDepth_ > 0)
        return;
    group_ = 0;
    // Nothing typed after the group joins its last step.
    closeStep();
}

void CCalcTextStore::replaceWithoutHistory(CTextPosition position, int length, const QString& replacement)
{
    position = std::clamp(position, 0, size());
    length = std::clamp(length, 0, size() - position);
    if (length == 0 && replacement.isEmpty())
        return;
    apply(position, length, replacement);
}

void CCalcTextStore::setText(const QString& text)
{
    const bool undoBefore = isUndoAvailable();
    const bool redoBefore = isRedoAvailable();
    const bool modifiedBefore = isModified();
    undo_.clear();
    redo_.clear();
    historyBytes_ = 0;
    cleanDepth_ = 0;
    const int removed = size();
    removedText_ = text_;
    text_ = text;
    emit contentsChange(0, removed, size());
    removedText_.clear();
    announce(undoBefore, redoBefore, modifiedBefore);
}

void CCalcTextStore::clearHistory()
{
    const bool undoBefore = isUndoAvailable();
    const bool redoBefore = isRedoAvailable();
    const bool modifiedBefore = isModified();
    undo_.clear();
    redo_.clear();
    historyBytes_ = 0;
    cleanDepth_ = modifiedBefore ? -1 : 0;
    announce(undoBefore, redoBefore, modifiedBefore);
}

std::optional<CCalcTextStore::Selection> CCalcTextStore::undo()
{
    return moveStep(undo_, redo_, false);
}

std::optional<CCalcTextStore::Selection> CCalcTextStore::redo()
{
    return moveStep(redo_, undo_, true);
}

std::optional<CCalcTextStore::Selection> CCalcTextStore::moveStep(Steps& from, Steps& to, bool forward)
{
    if (from.empty())
        return std::nullopt;
    const bool undoBefore = isUndoAvailable();
    const bool redoBefore = isRedoAvailable();
    const bool modifiedBefore = isModified();
    const int group = from.back().Group;
    Selection selection;
    do {
        Step step = std::move(from.back());
        from.pop_back();
        step.Closed = true;
        const QString& replaced = forward ? step.Removed : step.Inserted;
        apply(step.Position, TextLength(replaced), forward ? step.Inserted : step.Removed);
        selection = forward ? step.After : step.Before;
        to.push_back(std::move(step));
    } while (group != 0 && !from.empty() && from.back().Group == group);
    announce(undoBefore, redoBefore, modifiedBefore);
    return selection;
}

void CCalcTextStore::announce(bool undoBefore, bool redoBefore, bool modifiedBefore)
{
    if (undoBefore != isUndoAvailable())
        emit undoAvailable(isUndoAvailable());
    if (redoBefore != isRedoAvailable())
        emit redoAvailable(isRedoAvailable());
    if (modifiedBefore != isModified())
        emit modificationChanged(isModified());
}

qsizetype CCalcTextStore::stepBytes(const Step& step)
{
    return static_cast<qsizetype>(sizeof(Step)) +
        (step.Removed.size() + step.Inserted.size()) * qsizetype{sizeof(QChar)};
}

void CCalcTextStore::setHistoryLimit(qsizetype bytes)
{
    const bool undoBefore = isUndoAvailable();
    const bool redoBefore = isRedoAvailable();
    const bool modifiedBefore = isModified();
    historyLimit_ = std::max<qsizetype>(bytes, 0);
    // Steps taken back go first: they are the furthest from the text.
    if (historyBytes_ > historyLimit_)
        dropRedo();
    trimHistory();
    announce(undoBefore, redoBefore, modifiedBefore);
}

void CCalcTextStore::dropRedo()
{
    for (const Step& step : redo_)
        historyBytes_ -= stepBytes(step);
    redo_.clear();
}

void CCalcTextStore::trimHistory()
{
    qsizetype dropped = 0;
    while (historyBytes_ > historyLimit_ && !undo_.empty()) {
        const int group = undo_.front().Group;
        if (group != 0 && group == group_)
            break;
        do {
            historyBytes_ -= stepBytes(undo_.front());
            undo_.pop_front();
            ++dropped;
        } while (group != 0 && !undo_.empty() && undo_.front().Group == group);
    }
    if (dropped == 0 || cleanDepth_ < 0)
        return;
    // The saved text lay among the dropped steps: no step leads back there.
    cleanDepth_ = cleanDepth_ >= dropped ? cleanDepth_ - dropped : -1;
}
