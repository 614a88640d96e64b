// The editor's marks and colours: stretches drawn with a style over the
// text (the wavy lines under a failed statement, the pair of brackets at the
// caret), kept in place through edits, and the colours a formatter gives the
// lines on the screen.
#include "desktop/ui/editor/CCalcView.h"

#include "desktop/services/PaletteColors.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>

namespace {

// Room between the viewport's edges and the text, as the view keeps it.
constexpr int Margin = 4;

bool IsDark(const QPalette& palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

// The colour a style asks for, before it is made to read on the base.
QColor WantedMarkColor(CCalcView::MarkStyle style, const QPalette& palette)
{
    const bool dark = IsDark(palette);
    switch (style) {
    case CCalcView::MarkStyle::ErrorUnderline:
        return dark ? QColor(255, 90, 90) : QColor(255, 0, 0);
    case CCalcView::MarkStyle::WarningUnderline:
        return dark ? QColor(110, 160, 255) : QColor(0, 0, 255);
    case CCalcView::MarkStyle::Highlight:
        return dark ? QColor(255, 255, 255, 60) : QColor(0, 120, 215, 50);
    case CCalcView::MarkStyle::Spot:
        return dark ? QColor(255, 170, 60) : QColor(200, 0, 0);
    case CCalcView::MarkStyle::DottedUnderline:
        return dark ? QColor(110, 160, 255) : QColor(0, 0, 255);
    case CCalcView::MarkStyle::Dimmed: {
        QColor veil = palette.color(QPalette::Base);
        veil.setAlpha(150);
        return veil;
    }
    case CCalcView::MarkStyle::Plain:
        break;
    }
    return {};
}

QColor MarkColor(CCalcView::MarkStyle style, const QPalette& palette)
{
    const QColor wanted = WantedMarkColor(style, palette);
    // Veils and highlights lie under the text; lines must stand out.
    if (!wanted.isValid() || style == CCalcView::MarkStyle::Highlight || style == CCalcView::MarkStyle::Dimmed)
        return wanted;
    return Tevra::ReadableOn(wanted, palette.color(QPalette::Base), Tevra::GraphicsContrast);
}

// A wavy line from x1 to x2 whose crests touch y - 3 and troughs y.
void DrawWave(QPainter& painter, qreal x1, qreal x2, qreal y, const QColor& color)
{
    constexpr qreal HalfPeriod = 3;
    constexpr qreal Height = 3;
    QPainterPath path(QPointF(x1, y));
    bool up = true;
    for (qreal x = x1; x < x2; x += HalfPeriod) {
        const qreal next = std::min(x + HalfPeriod, x2);
        path.lineTo(next, up ? y - Height : y);
        up = !up;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(color, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}

// A dotted line from x1 to x2 at y.
void DrawDots(QPainter& painter, qreal x1, qreal x2, qreal y, const QColor& color)
{
    painter.save();
    painter.setPen(QPen(color, 1.5, Qt::DotLine));
    painter.drawLine(QPointF(x1, y), QPointF(x2, y));
    painter.restore();
}

}  // namespace

QColor CCalcView::markColor(MarkStyle style, const QPalette& palette)
{
    return MarkColor(style, palette);
}

QString CCalcView::markToolTipAt(int position) const
{
    for (std::size_t layer = marks_.size(); layer-- > 0;) {
        for (const TextMark& mark : marks_[layer]) {
            if (mark.Style != MarkStyle::Plain && !mark.ToolTip.isEmpty() && position >= mark.Start &&
                position <= mark.Start + mark.Length)
                return mark.ToolTip;
        }
    }
    return {};
}

bool CCalcView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = markToolTipAt(positionAt(help->pos()));
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, viewport());
    }
    return true;
}

void CCalcView::setMarks(MarkLayer layer, std::vector<TextMark> marks)
{
    const int size = store_->size();
    for (TextMark& mark : marks) {
        mark.Start = std::clamp(mark.Start, 0, size);
        mark.Length = std::clamp(mark.Length, 0, size - mark.Start);
    }
    std::stable_sort(marks.begin(), marks.end(),
                     [](const TextMark& a, const TextMark& b) { return a.Start < b.Start; });
    std::vector<TextMark>& kept = marks_[static_cast<std::size_t>(layer)];
    if (kept == marks)
        return;
    kept = std::move(marks);
    int longest = 0;
    for (const TextMark& mark : kept)
        longest = std::max(longest, mark.Length);
    longestMark_[static_cast<std::size_t>(layer)] = longest;
    viewport()->update();
}

void CCalcView::moveMarks(int position, int removed, int added)
{
    // Where a position of the old text stands now: in front of the change
    // it stays, behind it it moves along, inside what was removed it goes
    // behind what was added. The order of the marks is kept.
    const auto moved = [position, removed, added](int at) {
        if (at <= position)
            return at;
        if (at >= position + removed)
            return at - removed + added;
        return position + added;
    };
    for (std::size_t layer = 0; layer < marks_.size(); ++layer) {
        int longest = 0;
        for (TextMark& mark : marks_[layer]) {
            const int start = moved(mark.Start);
            const int end = moved(mark.Start + mark.Length);
            mark.Start = start;
            mark.Length = std::max(0, end - start);
            longest = std::max(longest, mark.Length);
        }
        longestMark_[layer] = longest;
    }
}

void CCalcView::paintMarks(QPainter& painter, int line, bool beforeText)
{
    const int lineStart = layout_.lineStart(line);
    const int lineEnd = layout_.lineEnd(line);
    const int top = lineTop(line);
    for (std::size_t layer = 0; layer < marks_.size(); ++layer) {
        const std::vector<TextMark>& marks = marks_[layer];
        // No mark starting further back reaches this line.
        const int earliest = lineStart - longestMark_[layer];
        const auto first = std::lower_bound(marks.begin(), marks.end(), earliest,
                                            [](const TextMark& mark, int at) { return mark.Start < at; });
        for (auto it = first; it != marks.end(); ++it) {
            const TextMark& mark = *it;
            if (mark.Start > lineEnd)
                break;  // the marks stand in the order of their starts
            const bool underline =
                mark.Style != MarkStyle::Plain && mark.Style != MarkStyle::Highlight && mark.Style != MarkStyle::Dimmed;
            // Underlines and veils go over the text, highlights under it.
            const bool overText = underline || mark.Style == MarkStyle::Dimmed;
            if (mark.Style == MarkStyle::Plain || overText == beforeText)
                continue;
            const int from = std::max(mark.Start, lineStart);
            const int to = std::min(mark.Start + mark.Length, lineEnd);
            if (to < from || (to == from && !(mark.Length == 0 && mark.Start == from)))
                continue;
            const qreal left = Margin + layout_.xOf(from, line);
            // An empty mark, or one that ends in a line break, still shows.
            const qreal right = to > from ? Margin + layout_.xOf(to, line) : left + layout_.lineHeight() / 2.0;
            const QColor color = MarkColor(mark.Style, palette());
            const qreal bottom = top + layout_.lineHeight() - 1;
            if (mark.Style == MarkStyle::Spot)
                painter.fillRect(QRectF(left, bottom - 1, std::max<qreal>(right - left, 3), 2.5), color);
            else if (mark.Style == MarkStyle::DottedUnderline)
                DrawDots(painter, left, right, bottom, color);
            else if (underline)
                DrawWave(painter, left, right, bottom, color);
            else
                painter.fillRect(QRectF(left, top, right - left, layout_.lineHeight()), color);
        }
    }
}

void CCalcView::setLineFormatter(LineFormatter formatter)
{
    layout_.setFormatter(std::move(formatter));
    viewport()->update();
}

void CCalcView::refreshLineFormats()
{
    layout_.clearShapes();
    viewport()->update();
}

void CCalcView::setKeyInterceptor(std::function<bool(QKeyEvent*)> interceptor)
{
    keyInterceptor_ = std::move(interceptor);
}

void CCalcView::setReservedKeys(QList<QKeySequence> keys)
{
    reservedKeys_ = std::move(keys);
}
