// What the editor does with the mouse, input methods, drag and drop and its
// context menu.
#include "desktop/ui/editor/CCalcView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QGuiApplication>
#include <QInputMethod>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextCharFormat>

#include <algorithm>
#include <cstdlib>

namespace {

// The number of characters around the caret an input method is shown.
constexpr int SurroundingLimit = 1000;
constexpr int AutoScrollInterval = 50;

}  // namespace

void CCalcView::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        CTextRange replaced = selection();
        if (event->replacementLength() > 0 || event->replacementStart() != 0) {
            const CTextPosition from = std::clamp(position_ + event->replacementStart(), 0, store_->size());
            replaced = CTextRange::Span(from, event->replacementLength()).clampedTo(store_->size());
        }
        edit(replaced, NormalizedText(event->commitString()), CCalcTextStore::EditKind::Typing);
    }
    preedit_ = event->preeditString();
    preeditCaret_ = TextLength(preedit_);
    // Formats count from the start of the caret's line, the preedit's own
    // positions from its start.
    const int offset = position_ - layout_.lineStart(layout_.lineOf(position_));
    QList<QTextLayout::FormatRange> formats;
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCaret_ = std::clamp(attribute.start, 0, TextLength(preedit_));
        } else if (attribute.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(attribute.value).toCharFormat();
            if (format.isValid())
                formats.append({offset + attribute.start, attribute.length, format});
        }
    }
    if (formats.isEmpty() && !preedit_.isEmpty()) {
        QTextCharFormat underlined;
        underlined.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        formats.append({offset, TextLength(preedit_), underlined});
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
    const CTextPosition at = positionAt(point);
    if (event->button() == Qt::MiddleButton) {
        QClipboard* clipboard = QApplication::clipboard();
        const QMimeData* source = clipboard->supportsSelection() ? clipboard->mimeData(QClipboard::Selection) : nullptr;
        if (source != nullptr && canInsertFromMimeData(source)) {
            setSelection(at, at);
            edit({at, at}, textFromMimeData(source), CCalcTextStore::EditKind::Other);
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
    } else if (hasSelection() && selection().surrounds(at)) {
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
    const CTextPosition at = positionAt(point);
    if (mouseMode_ != MouseMode::SelectingWords) {
        const CTextPosition oldAnchor = anchor_;
        const CTextPosition oldPosition = position_;
        position_ = at;
        store_->closeStep();
        selectionMoved(oldAnchor, oldPosition);
        return;
    }
    const CTextRange word = layout_.wordAt(at);
    if (at < pressedWord_.Start)
        setSelection(pressedWord_.End, word.Start);
    else
        setSelection(pressedWord_.Start, std::max(word.End, pressedWord_.End));
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
    setSelection(pressedWord_.Start, pressedWord_.End);
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
    dragged_ = selection();
    auto* drag = new QDrag(this);
    drag->setMimeData(createMimeDataFromSelection());
    const Qt::DropAction action = drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    // Moved to another window: the text leaves this one. A move within this
    // editor was done by the drop, which emptied dragged_.
    if (action == Qt::MoveAction && dragged_ && drag->target() != viewport())
        edit(*dragged_, QString(), CCalcTextStore::EditKind::Other);
    dragged_.reset();
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
    const CTextPosition at = positionAt(event->position().toPoint());
    const bool moveHere = event->source() == this && event->dropAction() == Qt::MoveAction && dragged_.has_value();
    dropText(event->mimeData(), at, moveHere);
    event->acceptProposedAction();
    setFocus();
}

void CCalcView::dropText(const QMimeData* source, CTextPosition position, bool move)
{
    const QString text = textFromMimeData(source);
    if (!move) {
        edit({position, position}, text, CCalcTextStore::EditKind::Other);
        setSelection(position, position + TextLength(text));
        return;
    }
    const CTextRange dragged = *dragged_;
    dragged_.reset();
    moveText(dragged, position);
}
