#include "desktop/ui/editor/CCalcView.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethod>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTextDocumentFragment>

#include <algorithm>
#include <string_view>

#include "core/files/CCalcTextChange.h"
#include "desktop/ui/editor/CCalcViewAccessible.h"
#include "desktop/ui/editor/CalcEditorFont.h"

namespace {

// Room between the viewport's edges and the text, and the caret's width.
constexpr int Margin = 4;
constexpr int CursorWidth = 1;

}  // namespace

QString CCalcView::NormalizedText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.remove(QChar::Null);
    return text;
}

CCalcView::CCalcView(QWidget* parent)
    : QAbstractScrollArea(parent), store_(new CCalcTextStore(this)), layout_(store_->text())
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression);
    setInputMethodHints(Qt::ImhMultiLine);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    connect(store_, &CCalcTextStore::contentsChange, this, &CCalcView::textChangedInStore);
    connect(store_, &CCalcTextStore::undoAvailable, this, &CCalcView::undoAvailable);
    connect(store_, &CCalcTextStore::redoAvailable, this, &CCalcView::redoAvailable);
    CCalcViewAccessible::Install();
    setFont(CalcEditorFont::Default());
    layout_.setFont(font());
    updateScrollRange();
}

CCalcView::~CCalcView()
{
    // The helpers hung on the editor (the aids, the completion, the preview,
    // the highlighter) may reach into it as they go, as the completion does
    // when it takes back its key interceptor. QObject would delete them only
    // after this object's members are gone, so they go here, while the editor
    // is still whole, in the order they came: the aids go before the preview,
    // the highlighter and the completion that they made and still read as
    // they save their switches. The store goes last, with the widgets.
    std::vector<QPointer<QObject>> helpers;
    for (QObject* child : children()) {
        if (child != store_ && !child->isWidgetType())
            helpers.emplace_back(child);
    }
    for (const QPointer<QObject>& helper : helpers)
        delete helper.data();  // null when an earlier one took it along
}

QString CCalcView::selectedText() const
{
    return TextIn(store_->text(), selection());
}

void CCalcView::setSelection(CTextPosition anchor, CTextPosition position)
{
    const CTextPosition oldAnchor = anchor_;
    const CTextPosition oldPosition = position_;
    anchor_ = std::clamp(anchor, 0, store_->size());
    position_ = std::clamp(position, 0, store_->size());
    preferredX_ = -1;
    store_->closeStep();
    selectionMoved(oldAnchor, oldPosition);
}

void CCalcView::moveCaret(CTextPosition position, bool keepAnchor)
{
    setSelection(keepAnchor ? anchor_ : position, position);
}

void CCalcView::replaceSelection(const QString& text)
{
    edit(selection(), NormalizedText(text), CCalcTextStore::EditKind::Other);
}

void CCalcView::edit(CTextRange range, const QString& text, CCalcTextStore::EditKind kind)
{
    // Every edit, typed, pasted, dropped or sent, comes here.
    if (calculating_)
        return;
    range = range.clampedTo(store_->size());
    const CTextPosition oldAnchor = anchor_;
    const CTextPosition oldPosition = position_;
    const CTextPosition caret = range.Start + TextLength(text);
    store_->replace(range.Start, range.length(), text, kind, {anchor_, position_}, {caret, caret});
    anchor_ = position_ = caret;
    preferredX_ = -1;
    selectionMoved(oldAnchor, oldPosition);
    ensureCursorVisible();
}

void CCalcView::loadText(const QString& text)
{
    store_->setText(NormalizedText(text));
    verticalScrollBar()->setValue(0);
    setSelection(0, 0);
    emit textLoaded();
}

void CCalcView::moveText(CTextRange range, CTextPosition position)
{
    if (calculating_)
        return;
    range = range.clampedTo(store_->size());
    position = std::clamp(position, 0, store_->size());
    if (range.isEmpty() || range.touches(position)) {
        setSelection(range.Start, range.End);  // onto itself: nothing moves
        return;
    }
    // The edit nearer the start of the text goes first: a redone move leaves
    // the caret behind the farther of the two places.
    const QString moved = TextIn(store_->text(), range);
    const int length = range.length();
    const CTextPosition movedStart = position < range.Start ? position : position - length;
    {
        CCalcTextStore::EditGroup group(*store_);
        if (position < range.Start) {
            edit({position, position}, moved, CCalcTextStore::EditKind::Other);
            edit(range.movedBy(length), QString(), CCalcTextStore::EditKind::Other);
        } else {
            edit(range, QString(), CCalcTextStore::EditKind::Other);
            edit({movedStart, movedStart}, moved, CCalcTextStore::EditKind::Other);
        }
    }
    setSelection(movedStart, movedStart + length);
}

void CCalcView::replaceTextAfterCalculation(const QString& text, CTextPosition caret)
{
    const QString before = store_->text();
    const bool changed = text != before;
    const bool modified = store_->isModified() || changed;
    if (changed) {
        const CCalcTextChange change = CCalcTextChange::Between(Tevra::ToU16View(before), Tevra::ToU16View(text));
        // The view keeps showing the statement it showed at its top.
        const CTextPosition top = layout_.lineStart(firstVisibleLine());
        const CTextPosition topAfter =
            PositionOf(change.mapByStatement(Tevra::ToU16View(before), Tevra::ToU16View(text), IndexOf(top)));
        const CTextPosition at = PositionOf(change.Position);
        store_->replaceWithoutHistory(at, PositionOf(change.Removed),
                                      TextIn(text, CTextRange::Span(at, PositionOf(change.Inserted))));
        verticalScrollBar()->setValue(layout_.lineOf(topAfter));
    }
    store_->clearHistory();
    store_->setModified(modified);
    setSelection(caret, caret);
    ensureCursorVisible();
}

void CCalcView::setCalculating(bool calculating)
{
    calculating_ = calculating;
    store_->closeStep();
}

void CCalcView::undo()
{
    if (calculating_)
        return;
    showStepSelection(store_->undo());
}

void CCalcView::redo()
{
    if (calculating_)
        return;
    showStepSelection(store_->redo());
}

void CCalcView::showStepSelection(std::optional<CCalcTextStore::Selection> selection)
{
    if (!selection)
        return;
    const CTextPosition oldAnchor = anchor_;
    const CTextPosition oldPosition = position_;
    anchor_ = std::clamp(selection->Anchor, 0, store_->size());
    position_ = std::clamp(selection->Position, 0, store_->size());
    preferredX_ = -1;
    selectionMoved(oldAnchor, oldPosition);
    ensureCursorVisible();
}

void CCalcView::cut()
{
    if (!hasSelection())
        return;
    copy();
    edit(selection(), QString(), CCalcTextStore::EditKind::Other);
}

void CCalcView::copy()
{
    if (hasSelection())
        QApplication::clipboard()->setMimeData(createMimeDataFromSelection());
}

void CCalcView::paste()
{
    const QMimeData* source = QApplication::clipboard()->mimeData();
    if (source != nullptr && canInsertFromMimeData(source))
        edit(selection(), textFromMimeData(source), CCalcTextStore::EditKind::Other);
}

void CCalcView::selectAll()
{
    setSelection(0, store_->size());
}

bool CCalcView::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText() || source->hasHtml();
}

QString CCalcView::textFromMimeData(const QMimeData* source) const
{
    // Plain text only: rich text is reduced to its characters.
    return NormalizedText(source->hasText() ? source->text()
                                            : QTextDocumentFragment::fromHtml(source->html()).toPlainText());
}

QMimeData* CCalcView::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(selectedText());
    return data;
}

void CCalcView::textChangedInStore(int position, int removed, int added)
{
    layout_.textChanged(position, removed, added);
    moveMarks(position, removed, added);
    anchor_ = std::min(anchor_, store_->size());
    position_ = std::min(position_, store_->size());
    updateScrollRange();
    viewport()->update();
    if (QAccessible::isActive()) {
        if (removed > 0) {
            QAccessibleTextRemoveEvent event(this, position, store_->removedText());
            QAccessible::updateAccessibility(&event);
        }
        if (added > 0) {
            QAccessibleTextInsertEvent event(this, position, store_->text().mid(position, added));
            QAccessible::updateAccessibility(&event);
        }
    }
    emit textChanged();
}

void CCalcView::selectionMoved(CTextPosition oldAnchor, CTextPosition oldPosition)
{
    const bool hadSelection = oldAnchor != oldPosition;
    restartCaretBlink();
    if (oldAnchor == anchor_ && oldPosition == position_)
        return;
    viewport()->update();
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent cursorEvent(this, position_);
        QAccessible::updateAccessibility(&cursorEvent);
        if (hadSelection || hasSelection()) {
            QAccessibleTextSelectionEvent selectionEvent(this, selectionStart(), selectionEnd());
            QAccessible::updateAccessibility(&selectionEvent);
        }
    }
    if (oldPosition != position_)
        emit cursorPositionChanged();
    if (hadSelection || hasSelection())
        emit selectionChanged();
    if (hadSelection != hasSelection())
        emit copyAvailable(hasSelection());
}

int CCalcView::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

int CCalcView::visibleLineCount() const
{
    return std::max(1, (viewport()->height() - Margin) / layout_.lineHeight());
}

int CCalcView::lineTop(int line) const
{
    return Margin + (line - firstVisibleLine()) * layout_.lineHeight();
}

int CCalcView::lineAtY(int y) const
{
    const int offset = y - Margin;
    const int lines = offset < 0 ? -1 - (-offset - 1) / layout_.lineHeight() : offset / layout_.lineHeight();
    return std::clamp(firstVisibleLine() + lines, 0, layout_.lineCount() - 1);
}

CTextPosition CCalcView::positionAt(QPoint point) const
{
    return layout_.positionAt(lineAtY(point.y()), point.x() - Margin);
}

CTextPosition CCalcView::characterAt(QPoint point) const
{
    return layout_.characterAt(lineAtY(point.y()), point.x() - Margin);
}

void CCalcView::updateScrollRange()
{
    QScrollBar* bar = verticalScrollBar();
    const int visible = visibleLineCount();
    bar->setRange(0, std::max(0, layout_.lineCount() - visible));
    bar->setPageStep(visible);
    bar->setSingleStep(1);
}

void CCalcView::ensureCursorVisible()
{
    scrollToPosition(position_);
}

void CCalcView::scrollToPosition(CTextPosition position)
{
    const int line = layout_.lineOf(position);
    const int first = firstVisibleLine();
    const int visible = visibleLineCount();
    if (line < first)
        verticalScrollBar()->setValue(line);
    else if (line >= first + visible)
        verticalScrollBar()->setValue(line - visible + 1);
}

QRect CCalcView::cursorRect() const
{
    const int line = layout_.lineOf(position_);
    const QTextLine shaped = layout_.shapedLine(line).lineAt(0);
    const int offset = position_ - layout_.lineStart(line) + (preedit_.isEmpty() ? 0 : preeditCaret_);
    const qreal x = shaped.isValid() ? shaped.cursorToX(offset) : 0;
    return {Margin + static_cast<int>(x), lineTop(line), CursorWidth, layout_.lineHeight()};
}

QRect CCalcView::characterRect(CTextPosition position) const
{
    position = std::clamp(position, 0, store_->size());
    const int line = layout_.lineOf(position);
    const qreal left = layout_.xOf(position, line);
    const int next = layout_.nextCursorPosition(position);
    const qreal right = position < layout_.lineEnd(line) ? layout_.xOf(std::min(next, layout_.lineEnd(line)), line)
                                                         : left + layout_.lineHeight() / 2.0;
    return {Margin + static_cast<int>(left), lineTop(line), std::max(1, static_cast<int>(right - left)),
            layout_.lineHeight()};
}

void CCalcView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    const QPalette::ColorGroup group = isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    painter.setPen(palette().color(group, QPalette::Text));
    QTextCharFormat selected;
    selected.setBackground(palette().brush(group, QPalette::Highlight));
    selected.setForeground(palette().brush(group, QPalette::HighlightedText));
    const bool caretVisible = hasFocus() && caretShown_;
    const int caretLine = layout_.lineOf(position_);
    const int dropLine = dropPosition_ >= 0 ? layout_.lineOf(dropPosition_) : -1;
    for (int line = std::max(firstVisibleLine(), lineAtY(area.top())); line < layout_.lineCount(); ++line) {
        const int top = lineTop(line);
        if (top > area.bottom())
            break;
        const int start = layout_.lineStart(line);
        QTextLayout& shaped = layout_.shapedLine(line);
        QList<QTextLayout::FormatRange> selections;
        const int from = std::max(selection().Start, start);
        const int to = std::min(selection().End, layout_.lineEnd(line));
        if (hasSelection() && from < to)
            selections.append({from - start, to - from, selected});
        const QPointF origin(Margin, top);
        paintMarks(painter, line, true);
        shaped.draw(&painter, origin, selections, area);
        paintMarks(painter, line, false);
        if (caretVisible && line == caretLine)
            shaped.drawCursor(&painter, origin, position_ - start + (preedit_.isEmpty() ? 0 : preeditCaret_),
                              CursorWidth);
        if (line == dropLine)
            shaped.drawCursor(&painter, origin, dropPosition_ - start, CursorWidth);
    }
    if (!placeholder_.isEmpty() && preedit_.isEmpty() && store_->text().isEmpty()) {
        painter.setPen(palette().color(group, QPalette::PlaceholderText));
        const QRect hint = viewport()->rect().adjusted(Margin + CursorWidth, Margin, -Margin, -Margin);
        painter.drawText(hint, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, placeholder_);
    }
}

void CCalcView::setPlaceholderText(const QString& text)
{
    placeholder_ = text;
    viewport()->update();
}

void CCalcView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const int top = layout_.lineStart(firstVisibleLine());
    const qreal width = viewport()->width() - 2 * Margin - CursorWidth;
    if (width != layout_.width()) {
        layout_.setWidth(width);
        updateScrollRange();
        verticalScrollBar()->setValue(layout_.lineOf(top));
    } else {
        updateScrollRange();
    }
}

void CCalcView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        const int top = layout_.lineStart(firstVisibleLine());
        layout_.setFont(font());
        updateScrollRange();
        verticalScrollBar()->setValue(layout_.lineOf(top));
        viewport()->update();
    } else if (event->type() == QEvent::ActivationChange || event->type() == QEvent::PaletteChange) {
        viewport()->update();
    }
}

void CCalcView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartCaretBlink();
}

void CCalcView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    caretBlink_.stop();
    viewport()->update();
}

void CCalcView::restartCaretBlink()
{
    caretShown_ = true;
    const int interval = QApplication::cursorFlashTime() / 2;
    if (hasFocus() && interval > 0)
        caretBlink_.start(interval, this);
    else
        caretBlink_.stop();
    viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
}

void CCalcView::scrollContentsBy(int, int)
{
    viewport()->update();
}

bool CCalcView::focusNextPrevChild(bool)
{
    // Tab is a character of the text, not a move to the next window.
    return false;
}
