#include "desktop/ui/editor/CCalcResultsMargin.h"

#include "desktop/services/PaletteColors.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimerEvent>
#include <QToolTip>

#include <algorithm>

#include "core/engine/EngineState.h"
#include "core/formats/NumberFormat.h"
#include "desktop/services/QtText.h"
#include "desktop/ui/editor/CCalcResultsMarginAccessible.h"
#include "desktop/ui/editor/CCalcView.h"

namespace {

// Room between the column's edges and its values.
constexpr int Padding = 6;
// The column's width in digits, and the most of the editor it takes.
constexpr int ColumnDigits = 24;
constexpr int MostPercentOfEditor = 40;
// How long a step waits while a calculation runs before it looks again.
constexpr int BusyRetryMilliseconds = 20;

}  // namespace

QColor CCalcResultsMargin::valueColor(bool failed, const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    if (failed) {
        const QColor error = base.lightness() < 128 ? QColor(255, 90, 90) : QColor(200, 0, 0);
        return Tevra::ReadableOn(error, base, Tevra::TextContrast);
    }
    // The placeholder colour may be see-through: what shows is its blend
    // with the base.
    const QColor placeholder = palette.color(QPalette::PlaceholderText);
    const double alpha = placeholder.alphaF();
    const auto blend = [alpha](float over, float under) { return alpha * over + (1.0 - alpha) * under; };
    const QColor shown = QColor::fromRgbF(static_cast<float>(blend(placeholder.redF(), base.redF())),
                                          static_cast<float>(blend(placeholder.greenF(), base.greenF())),
                                          static_cast<float>(blend(placeholder.blueF(), base.blueF())));
    return Tevra::ReadableOn(shown, base, Tevra::TextContrast);
}

CCalcResultsMargin::CCalcResultsMargin(CCalcView* view) : QWidget(view), view_(view)
{
    CCalcResultsMarginAccessible::Install();
    setObjectName(QStringLiteral("ResultsMargin"));
    setAccessibleName(QStringLiteral("Results"));
    hide();
    connect(view_, &CCalcView::textChanged, this, [this] {
        dirty_ = true;
        schedule(DelayMilliseconds);
    });
    connect(view_, &CCalcView::textLoaded, this, &CCalcResultsMargin::rebase);
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, &CCalcResultsMargin::collectItems);
    view_->installEventFilter(this);
    viewport_ = view_->viewport();
    view_->viewport()->installEventFilter(this);
}

void CCalcResultsMargin::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    setVisible(enabled);
    place();
    if (enabled) {
        dirty_ = true;
        schedule();
    } else {
        timer_.stop();
        items_.clear();
        staleTips_.clear();
        view_->setMarks(CCalcView::MarkLayer::Stale, {});
        emit itemsChanged();
    }
}

void CCalcResultsMargin::rebase()
{
    if (holdBase_)
        return;
    based_ = false;
    dirty_ = true;
    schedule();
}

void CCalcResultsMargin::takeBaseNow()
{
    if (!enabled_)
        return;
    run_.TakeBase();
    based_ = true;
    holdBase_ = true;
    dirty_ = true;
    shownCollected_ = false;
    schedule();
}

const NCalculatorText::SheetValue* CCalcResultsMargin::valueAt(int pos) const
{
    if (!isUpToDate() || pos < 0)
        return nullptr;
    return run_.ValueAt(static_cast<std::size_t>(pos));
}

QString CCalcResultsMargin::Describe(const NCalculatorText::SheetValue& value, bool upper, int digits)
{
    using Kind = NCalculatorText::SheetValue::Kind;
    switch (value.Outcome) {
    case Kind::Value:
        return Tevra::ToQString(NCalculatorText::FormatNumberText(value.Value, upper, digits));
    case Kind::Failed:
        return value.Description.empty() ? QStringLiteral("No value") : Tevra::ToQString(value.Description);
    case Kind::TooLong:
        break;
    }
    return QStringLiteral("\u2026");
}

void CCalcResultsMargin::schedule(int milliseconds)
{
    if (enabled_)
        timer_.start(milliseconds, this);
}

void CCalcResultsMargin::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == timer_.timerId())
        step();
    else
        QWidget::timerEvent(event);
}

void CCalcResultsMargin::step()
{
    timer_.stop();
    if (!enabled_)
        return;
    if (busy_ && busy_()) {
        schedule(BusyRetryMilliseconds);
        return;
    }
    if (!based_) {
        run_.TakeBase();
        based_ = true;
        shownCollected_ = false;
    }
    if (dirty_) {
        run_.SetText(Tevra::ToU16View(view_->text()));
        dirty_ = false;
        shownCollected_ = false;
    }
    QElapsedTimer clock;
    clock.start();
    const bool finished = run_.Run([&clock] { return clock.elapsed() < StepMilliseconds; });
    // The entries are collected when the run is over, and before that once
    // the statements on the screen have their values.
    const int lastShown = view_->positionAt(QPoint(view_->viewport()->width(), view_->viewport()->height()));
    const auto& statements = run_.Statements();
    const bool shownDone = run_.Computed() == statements.size() ||
        (run_.Computed() > 0 &&
         statements[run_.Computed() - 1].TrimmedStart > static_cast<std::size_t>(std::max(lastShown, 0)));
    if (finished || (shownDone && !shownCollected_)) {
        collectItems();
        shownCollected_ = true;
    }
    if (finished)
        markStale();
    else
        schedule();
}

bool CCalcResultsMargin::WrittenAs(double written, double value, int digits)
{
    if (written == value)
        return true;
    const std::u16string rounded = NCalculatorText::FormatNumberText(value, false, digits);
    return written == NCalculatorText::ParseNumber(rounded);
}

QString CCalcResultsMargin::StaleToolTip(const QString& now)
{
    return QStringLiteral("Changed since it was calculated: now ") + now;
}

void CCalcResultsMargin::markStale()
{
    const Tevra::CCalcSettings& settings = NCalculatorText::State().CalcSettings;
    const bool upper = settings.UpperCaseNumbers();
    const int digits = settings.ResultDigits();
    const auto& statements = run_.Statements();
    const auto& values = run_.Values();
    std::vector<CCalcView::TextMark> marks;
    std::vector<QString> tips;
    for (std::size_t i = 0; i < run_.Computed(); ++i) {
        const NCalculatorText::ScannedStatement& statement = statements[i];
        if (statement.Written.empty())
            continue;
        const NCalculatorText::SheetValue& value = values[i];
        // A result written in full ("%.20g" keeps every bit) reads back as
        // the value it was; one written with the fewer digits asked for
        // reads back as the value rounded to them.
        const bool same = value.Outcome == NCalculatorText::SheetValue::Kind::Value &&
            WrittenAs(NCalculatorText::ParseNumber(statement.Written), value.Value, digits);
        if (same || value.Outcome == NCalculatorText::SheetValue::Kind::TooLong)
            continue;
        marks.push_back({static_cast<int>(statement.WrittenStart), static_cast<int>(statement.WrittenLength),
                         CCalcView::MarkStyle::Dimmed, static_cast<int>(tips.size())});
        tips.push_back(StaleToolTip(Describe(value, upper, digits)));
    }
    staleTips_ = std::move(tips);
    view_->setMarks(CCalcView::MarkLayer::Stale, std::move(marks));
}

QString CCalcResultsMargin::staleToolTipAt(int pos) const
{
    for (const CCalcView::TextMark& mark : view_->marks(CCalcView::MarkLayer::Stale)) {
        if (mark.Start > pos)
            break;
        if (pos < mark.Start + mark.Length && mark.Tag >= 0 && mark.Tag < static_cast<int>(staleTips_.size()))
            return staleTips_[static_cast<std::size_t>(mark.Tag)];
    }
    return {};
}

bool CCalcResultsMargin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_ && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
        place();
    if (watched == viewport_ && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = staleToolTipAt(view_->characterAt(help->pos()));
        if (!tip.isEmpty()) {
            QToolTip::showText(help->globalPos(), tip, view_->viewport());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CCalcResultsMargin::place()
{
    // The values are drawn in the editor's font.
    const int digit = QFontMetrics(view_->font()).horizontalAdvance(QLatin1Char('0'));
    const int wanted =
        enabled_ ? std::min(digit * ColumnDigits + 2 * Padding, view_->width() * MostPercentOfEditor / 100) : 0;
    view_->setRightMargin(wanted);
    const QRect viewport = view_->viewport()->geometry();
    setGeometry(viewport.right() + 1, viewport.top(), wanted, viewport.height());
    collectItems();
}

void CCalcResultsMargin::collectItems()
{
    if (dirty_)
        return;  // the values stand for a text that is gone; the next step brings new ones
    std::vector<Item> items;
    if (enabled_) {
        const QString text = view_->text();
        const bool upper = NCalculatorText::State().CalcSettings.UpperCaseNumbers();
        const int digits = NCalculatorText::State().CalcSettings.ResultDigits();
        const auto& statements = run_.Statements();
        const auto& values = run_.Values();
        const int first = view_->positionAt(QPoint(0, 0));
        const int last = view_->positionAt(QPoint(view_->viewport()->width(), view_->viewport()->height()));
        // The statements whose last character lies on the screen.
        const auto end = statements.begin() + static_cast<std::ptrdiff_t>(run_.Computed());
        auto it = std::lower_bound(statements.begin(), end, static_cast<std::size_t>(first),
                                   [](const NCalculatorText::ScannedStatement& s, std::size_t p) {
                                       return s.TrimmedStart + s.TrimmedLength < p;
                                   });
        int line = 1 +
            static_cast<int>(std::count(text.begin(), text.begin() + std::min<qsizetype>(first, text.size()),
                                        QLatin1Char('\n')));
        int counted = first;
        for (; it != end; ++it) {
            const auto& value = values[static_cast<std::size_t>(it - statements.begin())];
            const int lastCharacter = static_cast<int>(value.Start + std::max<std::size_t>(value.Length, 1) - 1);
            if (lastCharacter > last)
                break;
            if (lastCharacter > counted) {
                line += static_cast<int>(
                    std::count(text.begin() + counted, text.begin() + lastCharacter, QLatin1Char('\n')));
                counted = lastCharacter;
            }
            const int top = view_->characterRect(lastCharacter).top();
            const QString shown = Describe(value, upper, digits);
            const bool failed = value.Outcome == NCalculatorText::SheetValue::Kind::Failed;
            if (!items.empty() && items.back().Top == top) {
                // Statements that end on one line share its entry.
                items.back().Text += QStringLiteral("; ") + shown;
                items.back().Failed = items.back().Failed || failed;
            } else {
                items.push_back({line, shown, failed, top});
            }
        }
    }
    const bool changed = items.size() != items_.size() ||
        !std::equal(items.begin(), items.end(), items_.begin(), [](const Item& a, const Item& b) {
                             return a.Line == b.Line && a.Text == b.Text && a.Top == b.Top && a.Failed == b.Failed;
                         });
    if (!changed)
        return;
    items_ = std::move(items);
    update();
    emit itemsChanged();
}

bool CCalcResultsMargin::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int height = view_->fontMetrics().height();
        for (const Item& item : items_) {
            if (help->pos().y() >= item.Top && help->pos().y() < item.Top + height) {
                QToolTip::showText(help->globalPos(), item.Text, this);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        update();
    return QWidget::event(event);
}

void CCalcResultsMargin::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(view_->font());
    const QPalette& colors = view_->palette();
    painter.fillRect(rect(), colors.color(QPalette::Base));
    painter.setPen(colors.color(QPalette::Mid));
    painter.drawLine(0, 0, 0, height());
    const QFontMetrics metrics(view_->font());
    const int width = this->width() - 2 * Padding;
    for (const Item& item : items_) {
        painter.setPen(valueColor(item.Failed, colors));
        const QString shown = metrics.elidedText(item.Text, Qt::ElideRight, width);
        painter.drawText(QRect(Padding, item.Top, width, metrics.height()), Qt::AlignRight | Qt::AlignVCenter, shown);
    }
}
