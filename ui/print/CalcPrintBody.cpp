#include "ui/print/CalcPrintBody.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

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
{
    const QFont deviceFont(font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(8 * QFontMetricsF(deviceFont, device).horizontalAdvance(u' '));

    const QStringList paragraphs = text.split(u'\n');
    paragraphs_.reserve(static_cast<std::size_t>(paragraphs.size()));
    for (const QString& paragraph : paragraphs) {
        auto layout = std::make_unique<QTextLayout>(paragraph, deviceFont, device);
        layout->setTextOption(option);
        layout->setCacheEnabled(true);
        layout->beginLayout();
        int index = 0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, 0));
            lines_.push_back(Line{static_cast<int>(paragraphs_.size()), index++});
            heights_.push_back(static_cast<int>(std::ceil(line.height())));
        }
        layout->endLayout();
        paragraphs_.push_back(std::move(layout));
    }
}

CalcPrintBody::~CalcPrintBody() = default;

QString CalcPrintBody::lineText(int index) const
{
    const Line& line = lines_.at(static_cast<std::size_t>(index));
    const QTextLayout& layout = *paragraphs_[static_cast<std::size_t>(line.Paragraph)];
    const QTextLine textLine = layout.lineAt(line.Index);
    return layout.text().mid(textLine.textStart(), textLine.textLength());
}

void CalcPrintBody::draw(QPainter& painter, int first, int count, const QPointF& topLeft) const
{
    double y = topLeft.y();
    for (int i = first; i < first + count && i < lineCount(); ++i) {
        const Line& line = lines_[static_cast<std::size_t>(i)];
        const QTextLine textLine = paragraphs_[static_cast<std::size_t>(line.Paragraph)]->lineAt(line.Index);
        textLine.draw(&painter, QPointF(topLeft.x(), y));
        y += heights_[static_cast<std::size_t>(i)];
    }
}
