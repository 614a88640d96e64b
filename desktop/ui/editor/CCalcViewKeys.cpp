// What the editor does with keys: every key it answers stands in one of the
// tables below, and each runs an edit action or a caret move.
#include "desktop/ui/editor/CCalcView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>

#include <algorithm>

namespace {

// The alternative editing keys of the classic edit control, and the keys
// whose modifiers do not change what they do.
struct ClassicKey {
    int Key;
    Qt::KeyboardModifiers Modifiers;
    int Action;  // a CCalcView::EditAction
};

// The platform's standard key sequences the editor answers.
struct StandardKey {
    QKeySequence::StandardKey Key;
    int Action;
};

struct MoveKey {
    QKeySequence::StandardKey Key;
    int Movement;  // a CCalcView::Move
    bool Select;
};

bool IsTypedText(const QString& text, Qt::KeyboardModifiers modifiers)
{
    if (text.isEmpty())
        return false;
    // Ctrl or Alt make a command of the key, except both together (AltGr).
    const Qt::KeyboardModifiers held = modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (held != Qt::NoModifier && held != (Qt::ControlModifier | Qt::AltModifier))
        return false;
    // Control characters are keys, not text; everything else is typed,
    // characters beyond the basic plane and joiners included.
    const QList<uint> characters = text.toUcs4();
    return std::all_of(characters.begin(), characters.end(),
                       [](uint c) { return c == u'\t' || QChar::category(c) != QChar::Other_Control; });
}

}  // namespace

CCalcView::KeyCommand CCalcView::commandForKey(const QKeyEvent* event) const
{
    static const ClassicKey ClassicKeys[] = {
        {Qt::Key_Backspace, Qt::AltModifier, static_cast<int>(EditAction::Undo)},
        {Qt::Key_Delete, Qt::ShiftModifier, static_cast<int>(EditAction::Cut)},
        {Qt::Key_Insert, Qt::ControlModifier, static_cast<int>(EditAction::Copy)},
        {Qt::Key_Insert, Qt::ShiftModifier, static_cast<int>(EditAction::Paste)},
        {Qt::Key_Backspace, Qt::NoModifier, static_cast<int>(EditAction::DeleteBackward)},
        {Qt::Key_Backspace, Qt::ShiftModifier, static_cast<int>(EditAction::DeleteBackward)},
        // Enter only breaks the line, with or without Shift (which would
        // otherwise mean a soft line break the calculation does not know).
        {Qt::Key_Return, Qt::NoModifier, static_cast<int>(EditAction::NewLine)},
        {Qt::Key_Return, Qt::ShiftModifier, static_cast<int>(EditAction::NewLine)},
        {Qt::Key_Enter, Qt::NoModifier, static_cast<int>(EditAction::NewLine)},
        {Qt::Key_Enter, Qt::ShiftModifier, static_cast<int>(EditAction::NewLine)},
    };
    static const StandardKey StandardKeys[] = {
        {QKeySequence::Undo, static_cast<int>(EditAction::Undo)},
        {QKeySequence::Redo, static_cast<int>(EditAction::Redo)},
        {QKeySequence::Cut, static_cast<int>(EditAction::Cut)},
        {QKeySequence::Copy, static_cast<int>(EditAction::Copy)},
        {QKeySequence::Paste, static_cast<int>(EditAction::Paste)},
        {QKeySequence::SelectAll, static_cast<int>(EditAction::SelectAll)},
        {QKeySequence::Delete, static_cast<int>(EditAction::DeleteForward)},
        {QKeySequence::Backspace, static_cast<int>(EditAction::DeleteBackward)},
        {QKeySequence::DeleteStartOfWord, static_cast<int>(EditAction::DeleteWordBackward)},
        {QKeySequence::DeleteEndOfWord, static_cast<int>(EditAction::DeleteWordForward)},
        {QKeySequence::DeleteEndOfLine, static_cast<int>(EditAction::DeleteToParagraphEnd)},
    };
    static const MoveKey MoveKeys[] = {
        {QKeySequence::MoveToNextChar, static_cast<int>(Move::NextCharacter), false},
        {QKeySequence::MoveToPreviousChar, static_cast<int>(Move::PreviousCharacter), false},
        {QKeySequence::MoveToNextWord, static_cast<int>(Move::NextWord), false},
        {QKeySequence::MoveToPreviousWord, static_cast<int>(Move::PreviousWord), false},
        {QKeySequence::MoveToNextLine, static_cast<int>(Move::NextLine), false},
        {QKeySequence::MoveToPreviousLine, static_cast<int>(Move::PreviousLine), false},
        {QKeySequence::MoveToStartOfLine, static_cast<int>(Move::LineStart), false},
        {QKeySequence::MoveToEndOfLine, static_cast<int>(Move::LineEnd), false},
        {QKeySequence::MoveToStartOfBlock, static_cast<int>(Move::ParagraphStart), false},
        {QKeySequence::MoveToEndOfBlock, static_cast<int>(Move::ParagraphEnd), false},
        {QKeySequence::MoveToStartOfDocument, static_cast<int>(Move::TextStart), false},
        {QKeySequence::MoveToEndOfDocument, static_cast<int>(Move::TextEnd), false},
        {QKeySequence::MoveToNextPage, static_cast<int>(Move::NextPage), false},
        {QKeySequence::MoveToPreviousPage, static_cast<int>(Move::PreviousPage), false},
        {QKeySequence::SelectNextChar, static_cast<int>(Move::NextCharacter), true},
        {QKeySequence::SelectPreviousChar, static_cast<int>(Move::PreviousCharacter), true},
        {QKeySequence::SelectNextWord, static_cast<int>(Move::NextWord), true},
        {QKeySequence::SelectPreviousWord, static_cast<int>(Move::PreviousWord), true},
        {QKeySequence::SelectNextLine, static_cast<int>(Move::NextLine), true},
        {QKeySequence::SelectPreviousLine, static_cast<int>(Move::PreviousLine), true},
        {QKeySequence::SelectStartOfLine, static_cast<int>(Move::LineStart), true},
        {QKeySequence::SelectEndOfLine, static_cast<int>(Move::LineEnd), true},
        {QKeySequence::SelectStartOfBlock, static_cast<int>(Move::ParagraphStart), true},
        {QKeySequence::SelectEndOfBlock, static_cast<int>(Move::ParagraphEnd), true},
        {QKeySequence::SelectStartOfDocument, static_cast<int>(Move::TextStart), true},
        {QKeySequence::SelectEndOfDocument, static_cast<int>(Move::TextEnd), true},
        {QKeySequence::SelectNextPage, static_cast<int>(Move::NextPage), true},
        {QKeySequence::SelectPreviousPage, static_cast<int>(Move::PreviousPage), true},
    };

    KeyCommand command;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QKeySequence pressed(QKeyCombination(modifiers, static_cast<Qt::Key>(event->key())));
    if (reservedKeys_.contains(pressed))
        return command;
    for (const ClassicKey& classic : ClassicKeys) {
        if (event->key() == classic.Key && modifiers == classic.Modifiers) {
            command.Type = KeyCommand::Kind::Action;
            command.Action = static_cast<EditAction>(classic.Action);
            return command;
        }
    }
    for (const StandardKey& standard : StandardKeys) {
        if (event->matches(standard.Key)) {
            command.Type = KeyCommand::Kind::Action;
            command.Action = static_cast<EditAction>(standard.Action);
            return command;
        }
    }
    for (const MoveKey& move : MoveKeys) {
        if (event->matches(move.Key)) {
            command.Type = KeyCommand::Kind::Move;
            command.Movement = static_cast<Move>(move.Movement);
            command.Select = move.Select;
            return command;
        }
    }
    if (IsTypedText(event->text(), event->modifiers())) {
        command.Type = KeyCommand::Kind::Type;
        command.Text = event->text();
    }
    return command;
}

bool CCalcView::canPerform(EditAction action) const
{
    switch (action) {
    case EditAction::Undo:
        return store_->isUndoAvailable();
    case EditAction::Redo:
        return store_->isRedoAvailable();
    case EditAction::Cut:
    case EditAction::Copy:
    case EditAction::Delete:
        return hasSelection();
    case EditAction::Paste: {
        const QMimeData* source = QApplication::clipboard()->mimeData();
        return source != nullptr && canInsertFromMimeData(source);
    }
    case EditAction::SelectAll:
        return store_->size() > 0;
    case EditAction::DeleteBackward:
    case EditAction::DeleteForward:
    case EditAction::DeleteWordBackward:
    case EditAction::DeleteWordForward:
    case EditAction::DeleteToParagraphEnd:
    case EditAction::NewLine:
        return true;
    }
    return false;
}

void CCalcView::perform(EditAction action)
{
    using Kind = CCalcTextStore::EditKind;
    switch (action) {
    case EditAction::Undo:
        undo();
        return;
    case EditAction::Redo:
        redo();
        return;
    case EditAction::Cut:
        cut();
        return;
    case EditAction::Copy:
        copy();
        return;
    case EditAction::Paste:
        paste();
        return;
    case EditAction::SelectAll:
        selectAll();
        return;
    case EditAction::NewLine:
        edit(selection(), QStringLiteral("\n"), Kind::Other);
        return;
    default:
        break;
    }
    // Every deletion deletes the selection when there is one.
    if (hasSelection()) {
        edit(selection(), QString(), Kind::Other);
        return;
    }
    switch (action) {
    case EditAction::DeleteBackward: {
        // One character back: a surrogate pair as a whole, an accent alone.
        CTextPosition start = position_ - 1;
        if (start > 0 && store_->characterAt(start).isLowSurrogate() &&
            store_->characterAt(start - 1).isHighSurrogate())
            --start;
        if (start >= 0)
            edit({start, position_}, QString(), Kind::DeleteBackward);
        return;
    }
    case EditAction::DeleteForward:
        if (position_ < store_->size())
            edit({position_, layout_.nextCursorPosition(position_)}, QString(), Kind::DeleteForward);
        return;
    case EditAction::DeleteWordBackward:
        edit({layout_.previousWordPosition(position_), position_}, QString(), Kind::Other);
        return;
    case EditAction::DeleteWordForward:
        edit({position_, layout_.nextWordPosition(position_)}, QString(), Kind::Other);
        return;
    case EditAction::DeleteToParagraphEnd: {
        const qsizetype end = store_->text().indexOf(u'\n', position_);
        edit({position_, end < 0 ? store_->size() : static_cast<CTextPosition>(end)}, QString(), Kind::Other);
        return;
    }
    default:
        return;  // Delete without a selection deletes nothing
    }
}

void CCalcView::perform(Move move, bool select)
{
    const int line = layout_.lineOf(position_);
    const QString& text = store_->text();
    int target = position_;
    bool vertical = false;
    int lines = 0;
    switch (move) {
    case Move::PreviousCharacter:
        target = hasSelection() && !select ? selectionStart() : layout_.previousCursorPosition(position_);
        break;
    case Move::NextCharacter:
        target = hasSelection() && !select ? selectionEnd() : layout_.nextCursorPosition(position_);
        break;
    case Move::PreviousWord:
        target = layout_.previousWordPosition(position_);
        break;
    case Move::NextWord:
        target = layout_.nextWordPosition(position_);
        break;
    case Move::PreviousLine:
        lines = -1;
        vertical = true;
        break;
    case Move::NextLine:
        lines = 1;
        vertical = true;
        break;
    case Move::PreviousPage:
        lines = -visibleLineCount();
        vertical = true;
        break;
    case Move::NextPage:
        lines = visibleLineCount();
        vertical = true;
        break;
    case Move::LineStart:
        target = layout_.lineStart(line);
        break;
    case Move::LineEnd: {
        target = layout_.lineEnd(line);
        // A line wrapped behind a blank ends before it, so that the caret
        // stays on this line.
        if (line + 1 < layout_.lineCount() && target == layout_.lineStart(line + 1) && target > 0 &&
            text.at(target - 1).isSpace())
            --target;
        break;
    }
    case Move::ParagraphStart: {
        const qsizetype start = position_ > 0 ? text.lastIndexOf(u'\n', position_ - 1) : -1;
        target = static_cast<int>(start + 1);
        break;
    }
    case Move::ParagraphEnd: {
        const qsizetype end = text.indexOf(u'\n', position_);
        target = end < 0 ? store_->size() : static_cast<int>(end);
        break;
    }
    case Move::TextStart:
        target = 0;
        break;
    case Move::TextEnd:
        target = store_->size();
        break;
    }
    if (!vertical) {
        moveCaret(target, select);
        ensureCursorVisible();
        return;
    }
    const qreal x = preferredX_ >= 0 ? preferredX_ : layout_.xOf(position_);
    const int targetLine = std::clamp(line + lines, 0, layout_.lineCount() - 1);
    if (targetLine != line) {
        if (move == Move::PreviousPage || move == Move::NextPage)
            verticalScrollBar()->setValue(firstVisibleLine() + targetLine - line);
        moveCaret(layout_.positionAt(targetLine, x), select);
    }
    preferredX_ = x;
    ensureCursorVisible();
}

bool CCalcView::event(QEvent* event)
{
    // Keys the editor answers are not taken by the program's shortcuts.
    if (event->type() == QEvent::ShortcutOverride &&
        commandForKey(static_cast<QKeyEvent*>(event)).Type != KeyCommand::Kind::None) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void CCalcView::keyPressEvent(QKeyEvent* event)
{
    if (keyInterceptor_ && keyInterceptor_(event)) {
        event->accept();
        return;
    }
    const KeyCommand command = commandForKey(event);
    switch (command.Type) {
    case KeyCommand::Kind::None:
        event->ignore();
        return;
    case KeyCommand::Kind::Action:
        perform(command.Action);
        break;
    case KeyCommand::Kind::Move:
        perform(command.Movement, command.Select);
        break;
    case KeyCommand::Kind::Type:
        edit(selection(), command.Text, CCalcTextStore::EditKind::Typing);
        emit textTyped(command.Text);
        break;
    }
    event->accept();
}
