// What the editor does with keys, the mouse, input methods, drag and drop and
// its context menu. Every key it answers stands in one of the tables below.
#include "ui/editor/CCalcView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextCharFormat>

#include <algorithm>
#include <cstdlib>

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

// The number of characters around the caret an input method is shown.
constexpr int SurroundingLimit = 1000;
constexpr int AutoScrollInterval = 50;

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
    const bool selection = hasSelection();
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
        edit(selectionStart(), selectionEnd(), QStringLiteral("\n"), Kind::Other);
        return;
    case EditAction::Delete:
        if (selection)
            edit(selectionStart(), selectionEnd(), QString(), Kind::Other);
        return;
    case EditAction::DeleteBackward: {
        if (selection) {
            edit(selectionStart(), selectionEnd(), QString(), Kind::Other);
            return;
        }
        // One character back: a surrogate pair as a whole, an accent alone.
        int start = position_ - 1;
        if (start > 0 && store_->characterAt(start).isLowSurrogate() &&
            store_->characterAt(start - 1).isHighSurrogate())
            --start;
        if (start >= 0)
            edit(start, position_, QString(), Kind::DeleteBackward);
        return;
    }
    case EditAction::DeleteForward:
        if (selection)
            edit(selectionStart(), selectionEnd(), QString(), Kind::Other);
        else if (position_ < store_->size())
            edit(position_, layout_.nextCursorPosition(position_), QString(), Kind::DeleteForward);
        return;
    case EditAction::DeleteWordBackward:
        if (selection)
            edit(selectionStart(), selectionEnd(), QString(), Kind::Other);
        else
            edit(layout_.previousWordPosition(position_), position_, QString(), Kind::Other);
        return;
    case EditAction::DeleteWordForward:
        if (selection)
            edit(selectionStart(), selectionEnd(), QString(), Kind::Other);
        else
            edit(position_, layout_.nextWordPosition(position_), QString(), Kind::Other);
        return;
    case EditAction::DeleteToParagraphEnd: {
        if (selection) {
            edit(selectionStart(), selectionEnd(), QString(), Kind::Other);
            return;
        }
        const qsizetype end = store_->text().indexOf(u'\n', position_);
        edit(position_, end < 0 ? store_->size() : static_cast<int>(end), QString(), Kind::Other);
        return;
    }
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
        edit(selectionStart(), selectionEnd(), command.Text, CCalcTextStore::EditKind::Typing);
        break;
    }
    event->accept();
}

void CCalcView::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        int from = selectionStart();
        int to = selectionEnd();
        if (event->replacementLength() > 0 || event->replacementStart() != 0) {
            from = std::clamp(position_ + event->replacementStart(), 0, store_->size());
            to = std::clamp(from + event->replacementLength(), from, store_->size());
        }
        edit(from, to, NormalizedText(event->commitString()), CCalcTextStore::EditKind::Typing);
    }
    preedit_ = event->preeditString();
    preeditCaret_ = static_cast<int>(preedit_.size());
    // Formats count from the start of the caret's line, the preedit's own
    // positions from its start.
    const int offset = position_ - layout_.lineStart(layout_.lineOf(position_));
    QList<QTextLayout::FormatRange> formats;
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCaret_ = std::clamp(attribute.start, 0, static_cast<int>(preedit_.size()));
        } else if (attribute.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(attribute.value).toCharFormat();
            if (format.isValid())
                formats.append({offset + attribute.start, attribute.length, format});
        }
    }
    if (formats.isEmpty() && !preedit_.isEmpty()) {
        QTextCharFormat underlined;
        underlined.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        formats.append({offset, static_cast<int>(preedit_.size()), underlined});
    }
    layout_.setPreedit(position_, preedit_, formats);
    viewport()->update();
    event->accept();
}

QVariant CCalcView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // Input methods see the caret's paragraph, at most SurroundingLimit
    // characters on either side: enough to compose, and cheap on any text.
    const QString& text = store_->text();
    int start = position_;
    while (start > 0 && position_ - start < SurroundingLimit && text.at(start - 1) != u'\n')
        --start;
    int end = position_;
    while (end < store_->size() && end - position_ < SurroundingLimit && text.at(end) != u'\n')
        ++end;
    const int anchor = std::clamp(anchor_, start, end);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return QRectF(cursorRect().translated(viewport()->pos()));
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return position_ - start;
    case Qt::ImAnchorPosition:
        return anchor - start;
    case Qt::ImSurroundingText:
        return text.mid(start, end - start);
    case Qt::ImCurrentSelection:
        return text.mid(std::min(anchor, position_), std::abs(anchor - position_));
    case Qt::ImTextBeforeCursor:
        return text.mid(start, position_ - start);
    case Qt::ImTextAfterCursor:
        return text.mid(position_, end - position_);
    case Qt::ImHints:
        return static_cast<int>(inputMethodHints());
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void CCalcView::mousePressEvent(QMouseEvent* event)
{
    if (!preedit_.isEmpty())
        QGuiApplication::inputMethod()->commit();
    const QPoint point = event->position().toPoint();
    const int at = positionAt(point);
    if (event->button() == Qt::MiddleButton) {
        QClipboard* clipboard = QApplication::clipboard();
        const QMimeData* source = clipboard->supportsSelection() ? clipboard->mimeData(QClipboard::Selection) : nullptr;
        if (source != nullptr && canInsertFromMimeData(source)) {
            setSelection(at, at);
            edit(at, at, textFromMimeData(source), CCalcTextStore::EditKind::Other);
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    lastMousePoint_ = point;
    mousePressPoint_ = point;
    if (tripleClick_.isActive() && (point - tripleClickPoint_).manhattanLength() < QApplication::startDragDistance()) {
        tripleClick_.stop();
        const int line = layout_.lineOf(at);
        setSelection(layout_.lineStart(line), layout_.lineEnd(line));
        mouseMode_ = MouseMode::None;
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        moveCaret(at, true);
        mouseMode_ = MouseMode::Selecting;
    } else if (hasSelection() && at > selectionStart() && at < selectionEnd()) {
        mouseMode_ = MouseMode::MaybeDragging;
    } else {
        moveCaret(at, false);
        mouseMode_ = MouseMode::Selecting;
    }
}

void CCalcView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint point = event->position().toPoint();
    lastMousePoint_ = point;
    if (mouseMode_ == MouseMode::MaybeDragging) {
        if ((point - mousePressPoint_).manhattanLength() >= QApplication::startDragDistance())
            startDrag();
        return;
    }
    if (mouseMode_ == MouseMode::None)
        return;
    autoScrollStep();
    if (point.y() < 0 || point.y() > viewport()->height())
        autoScroll_.start(AutoScrollInterval, this);
    else
        autoScroll_.stop();
}

void CCalcView::autoScrollStep()
{
    const QPoint point = lastMousePoint_;
    if (point.y() < 0)
        verticalScrollBar()->setValue(firstVisibleLine() - 1);
    else if (point.y() > viewport()->height())
        verticalScrollBar()->setValue(firstVisibleLine() + 1);
    const int at = positionAt(point);
    if (mouseMode_ != MouseMode::SelectingWords) {
        const int oldAnchor = anchor_;
        const int oldPosition = position_;
        position_ = at;
        store_->closeStep();
        selectionMoved(oldAnchor, oldPosition);
        return;
    }
    const std::pair<int, int> word = layout_.wordAt(at);
    if (at < pressedWord_.first)
        setSelection(pressedWord_.second, word.first);
    else
        setSelection(pressedWord_.first, std::max(word.second, pressedWord_.second));
}

void CCalcView::mouseReleaseEvent(QMouseEvent* event)
{
    autoScroll_.stop();
    if (event->button() != Qt::LeftButton)
        return;
    if (mouseMode_ == MouseMode::MaybeDragging)
        moveCaret(positionAt(event->position().toPoint()), false);
    mouseMode_ = MouseMode::None;
    QClipboard* clipboard = QApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setMimeData(createMimeDataFromSelection(), QClipboard::Selection);
}

void CCalcView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    pressedWord_ = layout_.wordAt(positionAt(point));
    setSelection(pressedWord_.first, pressedWord_.second);
    mouseMode_ = MouseMode::SelectingWords;
    tripleClickPoint_ = point;
    tripleClick_.start(QApplication::doubleClickInterval(), this);
}

void CCalcView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == caretBlink_.timerId()) {
        caretShown_ = !caretShown_;
        viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
    } else if (event->timerId() == autoScroll_.timerId()) {
        autoScrollStep();
    } else if (event->timerId() == tripleClick_.timerId()) {
        tripleClick_.stop();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

void CCalcView::contextMenuEvent(QContextMenuEvent* event)
{
    struct MenuItem {
        const char* Text;  // empty: a separator
        QKeySequence::StandardKey Shortcut;
        EditAction Action;
    };
    static const MenuItem Items[] = {
        {"&Undo", QKeySequence::Undo, EditAction::Undo},
        {"&Redo", QKeySequence::Redo, EditAction::Redo},
        {"", QKeySequence::UnknownKey, EditAction::Undo},
        {"Cu&t", QKeySequence::Cut, EditAction::Cut},
        {"&Copy", QKeySequence::Copy, EditAction::Copy},
        {"&Paste", QKeySequence::Paste, EditAction::Paste},
        {"Delete", QKeySequence::UnknownKey, EditAction::Delete},
        {"", QKeySequence::UnknownKey, EditAction::Undo},
        {"Select All", QKeySequence::SelectAll, EditAction::SelectAll},
    };
    QMenu menu(this);
    for (const MenuItem& item : Items) {
        if (*item.Text == '\0') {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromLatin1(item.Text));
        action->setShortcut(QKeySequence(item.Shortcut));
        action->setEnabled(canPerform(item.Action));
        const EditAction performed = item.Action;
        connect(action, &QAction::triggered, this, [this, performed] { perform(performed); });
    }
    menu.exec(event->globalPos());
}

void CCalcView::startDrag()
{
    mouseMode_ = MouseMode::None;
    dragged_ = {selectionStart(), selectionEnd()};
    auto* drag = new QDrag(this);
    drag->setMimeData(createMimeDataFromSelection());
    const Qt::DropAction action = drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    // Moved to another window: the text leaves this one. A move within this
    // editor was done by the drop, which emptied dragged_.
    if (action == Qt::MoveAction && dragged_.first >= 0 && drag->target() != viewport())
        edit(dragged_.first, dragged_.second, QString(), CCalcTextStore::EditKind::Other);
    dragged_ = {-1, -1};
}

void CCalcView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void CCalcView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!canInsertFromMimeData(event->mimeData())) {
        event->ignore();
        return;
    }
    dropPosition_ = positionAt(event->position().toPoint());
    event->acceptProposedAction();
    viewport()->update();
}

void CCalcView::dragLeaveEvent(QDragLeaveEvent*)
{
    dropPosition_ = -1;
    viewport()->update();
}

void CCalcView::dropEvent(QDropEvent* event)
{
    dropPosition_ = -1;
    if (!canInsertFromMimeData(event->mimeData())) {
        event->ignore();
        return;
    }
    const int at = positionAt(event->position().toPoint());
    const bool moveHere = event->source() == this && event->dropAction() == Qt::MoveAction && dragged_.first >= 0;
    dropText(event->mimeData(), at, moveHere);
    event->acceptProposedAction();
    setFocus();
}

void CCalcView::dropText(const QMimeData* source, int position, bool move)
{
    const QString text = textFromMimeData(source);
    const int size = static_cast<int>(text.size());
    if (!move) {
        edit(position, position, text, CCalcTextStore::EditKind::Other);
        setSelection(position, position + size);
        return;
    }
    const auto [start, end] = dragged_;
    dragged_ = {-1, -1};
    if (position >= start && position <= end) {
        setSelection(start, end);  // dropped onto itself: nothing moves
        return;
    }
    // One step replaces the stretch from the dragged text to the drop place,
    // so that one undo takes the whole move back.
    const QString& all = store_->text();
    const int from = std::min(start, position);
    const int to = std::max(end, position);
    const QString between = position < start ? all.mid(position, start - position) : all.mid(end, position - end);
    const QString moved = all.mid(start, end - start);
    const QString replacement = position < start ? moved + between : between + moved;
    const int movedStart = position < start ? position : position - (end - start);
    edit(from, to, replacement, CCalcTextStore::EditKind::Other);
    setSelection(movedStart, movedStart + (end - start));
}
