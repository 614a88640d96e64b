#include "desktop/ui/print/CalcPrintBody.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// Characters laid out at a time: a few pages of text.
constexpr qsizetype StretchLength = 16384;

QTextOption Option(const QFont& font, QPaintDevice* device)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(8 * QFontMetricsF(font, device).horizontalAdvance(u' '));
    return option;
}

}  // namespace

CalcPagination Paginate(std::span<const int> lineHeights, const std::function<int(int page)>& bodyHeight)
{
    CalcPagination result;
    const int lines = static_cast<int>(lineHeights.size());
    int next = 0;
    do {
        const int page = static_cast<int>(result.Pages.size()) + 1;
        const int room = bodyHeight(page);
        CalcPageSpan span{next, 0};
        int used = 0;
        while (next < lines && used + lineHeights[static_cast<std::size_t>(next)] <= room) {
            used += lineHeights[static_cast<std::size_t>(next)];
            ++next;
            ++span.LineCount;
        }
        result.Pages.push_back(span);
        if (span.LineCount == 0 && next < lines) {
            result.Complete = false;
            break;
        }
    } while (next < lines);
    return result;
}

CalcPrintBody::CalcPrintBody(const QString& text, const QFont& font, QPaintDevice* device, int width)
    : text_(text), font_(font, device), device_(device), width_(width)
{
    qsizetype start = 0;
    while (true) {
        const qsizetype end = text_.indexOf(u'\n', start);
        layOutParagraph(start, end < 0 ? text_.size() : end);
        if (end < 0)
            break;
        start = end + 1;
    }
}

void CalcPrintBody::layOutParagraph(qsizetype start, qsizetype end)
{
    // A long paragraph is laid out a stretch at a time: lines break greedily,
    // so a stretch that starts where a line starts breaks as the whole
    // paragraph would; its last line may be cut by the stretch's end and is
    // laid out again with the next stretch.
    qsizetype position = start;
    do {
        qsizetype stretchEnd = std::min(end, position + StretchLength);
        if (stretchEnd < end && stretchEnd > position && QChar::isHighSurrogate(text_[stretchEnd - 1].unicode()))
            --stretchEnd;
        QTextLayout layout(text_.mid(position, stretchEnd - position), font_, device_);
        layout.setTextOption(Option(font_, device_));
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(width_);
        layout.endLayout();
        const int count = layout.lineCount();
        if (count == 0)
            break;
        // The whole rest of the paragraph, or a stretch of one line only: every
        // line is taken.
        const int taken = stretchEnd == end || count == 1 ? count : count - 1;
        for (int i = 0; i < taken; ++i) {
            const QTextLine line = layout.lineAt(i);
            lines_.push_back(Line{position + line.textStart(), line.textLength()});
            heights_.push_back(static_cast<int>(std::ceil(line.height())));
        }
        if (stretchEnd == end)
            break;
        const QTextLine next = layout.lineAt(taken == count ? count - 1 : taken);
        const qsizetype advanced =
            position + (taken == count ? next.textStart() + next.textLength() : next.textStart());
        // Never stand still, whatever the layout answers.
        position = advanced > position ? advanced : stretchEnd;
    } while (position < end);
}

QString CalcPrintBody::lineText(int index) const
{
    const Line& line = lines_.at(static_cast<std::size_t>(index));
    return text_.mid(line.Start, line.Length);
}

void CalcPrintBody::draw(QPainter& painter, int first, int count, const QPointF& topLeft) const
{
    const QTextOption option = Option(font_, device_);
    double y = topLeft.y();
    for (int i = first; i < first + count && i < lineCount(); ++i) {
        // Each line alone, with exactly the characters it had.
        QTextLayout layout(lineText(i), font_, device_);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        if (line.isValid()) {
            line.setNumColumns(lines_[static_cast<std::size_t>(i)].Length);
            line.setPosition(QPointF(0, 0));
        }
        layout.endLayout();
        if (line.isValid())
            line.draw(&painter, QPointF(topLeft.x(), y));
        y += heights_[static_cast<std::size_t>(i)];
    }
}
