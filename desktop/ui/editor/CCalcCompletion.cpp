#include "desktop/ui/editor/CCalcCompletion.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>

#include "core/settings/CalcSettings.h"
#include "desktop/services/QtText.h"
#include "core/memory/MemoryMap.h"
#include "desktop/ui/editor/CCalcView.h"
#include "core/engine/EngineState.h"

namespace {

// Rows shown at once; more scroll.
constexpr int VisibleRows = 8;
// Names listed at most.
constexpr std::size_t MostCandidates = 200;

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool IsOpeningBracket(QChar c)
{
    return c == u'(' || c == u'[' || c == u'{';
}

}  // namespace

CCalcCompletion::CCalcCompletion(CCalcView* view, NCalculatorText::CTokenIndex& index)
    : QObject(view), view_(view), index_(index), list_(new QListWidget(view->viewport()))
{
    list_->setObjectName(QStringLiteral("Completion"));
    list_->setAccessibleName(QStringLiteral("Names"));
    // The editor keeps the focus: keys reach the list through it.
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setUniformItemSizes(true);
    list_->setFont(view_->font());
    list_->hide();
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { accept(list_->row(item)); });
    connect(view_, &CCalcView::textTyped, this, &CCalcCompletion::typed);
    connect(view_, &CCalcView::cursorPositionChanged, this, &CCalcCompletion::caretMoved);
    connect(view_, &CCalcView::textLoaded, this, &CCalcCompletion::close);
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, &CCalcCompletion::close);
    view_->setKeyInterceptor([this](QKeyEvent* event) { return interceptKey(event); });
}

CCalcCompletion::~CCalcCompletion()
{
    view_->setKeyInterceptor({});
}

void CCalcCompletion::setEnabled(bool enabled)
{
    enabled_ = enabled;
    if (!enabled)
        close();
}

bool CCalcCompletion::isOffering() const
{
    return !list_->isHidden();
}

void CCalcCompletion::typed(const QString& text)
{
    if (!enabled_ || text.isEmpty())
        return;
    const QChar last = text.back();
    const bool opens = IsAsciiLetter(last) || IsOpeningBracket(last);
    // A digit or any other character only narrows a list that is open.
    if (isOffering())
        offer();
    else if (opens && !inNumber())
        offer();
}

bool CCalcCompletion::inNumber() const
{
    // The letter of an exponent ("1e") belongs to the number it follows.
    const QString& text = view_->text();
    const NCalculatorText::CompletionContext at =
        NCalculatorText::FindCompletionContext(Tevra::ToU16View(text), IndexOf(view_->position()), index_);
    if (at.What != NCalculatorText::CompletionContext::Kind::Name || at.Start == 0)
        return false;
    const QChar before = text[PositionOf(at.Start) - 1];
    return before.isDigit() || before == u'.';
}

void CCalcCompletion::caretMoved()
{
    if (!isOffering())
        return;
    // Typing moves the caret within what is being completed; any other move
    // closes the list.
    const NCalculatorText::CompletionContext now =
        NCalculatorText::FindCompletionContext(Tevra::ToU16View(view_->text()), IndexOf(view_->position()), index_);
    if (now.What != context_.What || now.Start != context_.Start || view_->hasSelection())
        close();
}

void CCalcCompletion::offer()
{
    // While a calculation runs, the memory is the calculation's and the text
    // takes no edit.
    if (!enabled_ || view_->hasSelection() || view_->isCalculating()) {
        close();
        return;
    }
    context_ =
        NCalculatorText::FindCompletionContext(Tevra::ToU16View(view_->text()), IndexOf(view_->position()), index_);
    candidates_ = NCalculatorText::CompletionCandidates(context_, NCalculatorText::State().CalcSettings,
                                                        NCalculatorText::State().MemoryMap, MostCandidates);
    const bool onlyWhatIsTyped = candidates_.size() == 1 &&
        QString::compare(Tevra::ToQString(candidates_.front().Name), Tevra::ToQString(context_.Prefix),
                         Qt::CaseInsensitive) == 0 &&
        context_.What == NCalculatorText::CompletionContext::Kind::Name;
    if (candidates_.empty() || onlyWhatIsTyped) {
        close();
        return;
    }
    list_->clear();
    for (const auto& candidate : candidates_)
        list_->addItem(Tevra::ToQString(candidate.Name));
    list_->setCurrentRow(0);
    place();
    list_->show();
    list_->raise();
}

void CCalcCompletion::place()
{
    list_->setFont(view_->font());
    const QFontMetrics metrics(list_->font());
    int widest = 0;
    for (int row = 0; row < list_->count(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(list_->item(row)->text()));
    const int frame = 2 * list_->frameWidth();
    const int rowHeight = std::max(1, list_->sizeHintForRow(0));
    const int rows = std::min(VisibleRows, list_->count());
    const int scrollBar = list_->count() > VisibleRows ? list_->verticalScrollBar()->sizeHint().width() : 0;
    QSize size(widest + frame + scrollBar + 2 * metrics.averageCharWidth(), rows * rowHeight + frame);
    const QRect area = view_->viewport()->rect();
    size = size.boundedTo(area.size());
    // Under the start of what is being completed, or above it when there is
    // no room below.
    const QRect at = view_->characterRect(PositionOf(context_.Start));
    QPoint topLeft(at.left(), at.bottom() + 1);
    if (topLeft.y() + size.height() > area.bottom() && at.top() - size.height() >= 0)
        topLeft.setY(at.top() - size.height());
    topLeft.setX(std::clamp(topLeft.x(), 0, std::max(0, area.width() - size.width())));
    list_->setGeometry(QRect(topLeft, size));
}

void CCalcCompletion::accept(int row)
{
    if (row < 0 || row >= static_cast<int>(candidates_.size())) {
        close();
        return;
    }
    const NCalculatorText::CompletionCandidate chosen = candidates_[static_cast<std::size_t>(row)];
    const NCalculatorText::CompletionContext context = context_;
    close();
    view_->setSelection(PositionOf(context.Start), PositionOf(context.End));
    view_->replaceSelection(Tevra::ToQString(chosen.Insert));
    // The memory keyword and its bracket are followed by a cell name.
    if (chosen.What == NCalculatorText::CompletionCandidate::Kind::MemoryKeyword)
        offer();
}

void CCalcCompletion::close()
{
    if (list_->isHidden())
        return;
    list_->hide();
    list_->clear();
    candidates_.clear();
}

bool CCalcCompletion::interceptKey(QKeyEvent* event)
{
    if (!isOffering())
        return false;
    // Only the plain keys choose; with a modifier they are the editor's.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false;
    const int rows = list_->count();
    const int current = list_->currentRow();
    switch (event->key()) {
    case Qt::Key_Up:
        list_->setCurrentRow(current > 0 ? current - 1 : rows - 1);
        return true;
    case Qt::Key_Down:
        list_->setCurrentRow(current + 1 < rows ? current + 1 : 0);
        return true;
    case Qt::Key_PageUp:
        list_->setCurrentRow(std::max(0, current - VisibleRows));
        return true;
    case Qt::Key_PageDown:
        list_->setCurrentRow(std::min(rows - 1, current + VisibleRows));
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept(current);
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    default:
        return false;
    }
}
