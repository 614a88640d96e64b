#include "desktop/ui/print/CalcPrintedPages.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace {

const QString HeaderIcon = QStringLiteral(":/icons/print-header.png");

// The page count is settled when counting with it gives the same count; the
// page number's fall-backs can change a header at most a few times.
constexpr int CountRounds = 4;

}  // namespace

QFont PrintFontFor(const CalcPrintFont& font, int dpi, QFont::StyleHint hint)
{
    QFont result(font.Face);
    result.setStyleHint(hint);
    result.setPixelSize(std::max(1, static_cast<int>(std::lround(font.Size * static_cast<double>(dpi) / 72.0))));
    result.setWeight(static_cast<QFont::Weight>(std::clamp(font.Weight, 1, 1000)));
    result.setItalic(font.Italic);
    result.setUnderline(false);
    result.setStrikeOut(false);
    result.setStyleStrategy(QFont::PreferAntialias);
    return result;
}

CalcPageGeometry PageGeometryOf(const QPrinter& printer)
{
    const int resolution = printer.resolution();
    QPageLayout layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(resolution);
    // The printable area: the page less the printer's smallest margins.
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(layout.minimumMargins());
    const QRect printable = layout.paintRectPixels(resolution);
    CalcPageGeometry geometry;
    geometry.Printable = printable.size();
    geometry.Unprintable = QMargins(printable.left() - full.left(), printable.top() - full.top(),
                                    std::max(0, full.width() - printable.left() - printable.width()),
                                    std::max(0, full.height() - printable.top() - printable.height()));
    geometry.DpiX = printer.logicalDpiX();
    geometry.DpiY = printer.logicalDpiY();
    return geometry;
}

CalcPrintedPages::CalcPrintedPages(const CalcPrintSettings& settings, CalcPrintSource source, QPrinter& printer,
                                   const QDateTime& now)
    : settings_(settings), source_(std::move(source)), printer_(printer), now_(now), geometry_(PageGeometryOf(printer)),
      icon_(HeaderIcon)
{
    textFont_ = PrintFontFor(settings_.TextFont, geometry_.DpiY, QFont::TypeWriter);
    serviceFont_ = PrintFontFor(settings_.ServiceFont, geometry_.DpiY, QFont::Serif);

    const CalcPageLayout first = layoutFor(1, 0);
    body_ = std::make_unique<CalcPrintBody>(source_.Text, textFont_, &printer_, first.Drawing.width());

    using namespace CalcPrintItems;
    if (!first.Prints) {
        pagination_ = Paginate(body_->lineHeights(), [](int) { return 0; });
        return;
    }
    if ((settings_.Items & Number) == 0 || FormatOf(settings_.Items) != NumberFormat::OfCount) {
        pagination_ = paginate(0);
        return;
    }
    // Counted in advance: the drawing rectangle less twice a line of the
    // service font for a header and for a footer.
    const int line = QFontMetrics(serviceFont_, &printer_).height();
    const int counted = first.Drawing.height() - (HasHeader(settings_.Items) ? 2 * line : 0) -
        (HasFooter(settings_.Items) ? 2 * line : 0);
    count_ = static_cast<int>(Paginate(body_->lineHeights(), [counted](int) { return counted; }).Pages.size());
    // Then with the pages themselves, whose headers and footers may differ
    // from that estimate (an item that does not fit is dropped), until the
    // count is the number of pages it makes.
    for (int round = 0; round < CountRounds; ++round) {
        pagination_ = paginate(count_);
        const int pages = pageCount();
        if (pages == count_)
            break;
        count_ = pages;
    }
}

CalcPrintedPages::~CalcPrintedPages() = default;

CalcServiceMetrics CalcPrintedPages::metrics() const
{
    const QFontMetrics measures(serviceFont_, &printer_);
    CalcServiceMetrics result;
    result.Width = [measures](const QString& text) { return measures.horizontalAdvance(text); };
    result.Height = measures.height();
    result.CharacterHeight = serviceFont_.pixelSize();
    return result;
}

CalcPageLayout CalcPrintedPages::layoutFor(int page, int count) const
{
    CalcPageFacts facts = PageFactsOf(settings_);
    facts.Path = source_.Path;
    facts.Now = now_;
    facts.Page = page;
    facts.PageCount = count;
    const QPaintEngine* engine = printer_.paintEngine();
    facts.CanStretchBitmaps = !icon_.isNull() && engine && engine->hasFeature(QPaintEngine::PixmapTransform);
    return LayOutPage(geometry_, metrics(), facts);
}

CalcPagination CalcPrintedPages::paginate(int count) const
{
    return Paginate(body_->lineHeights(), [this, count](int page) { return layoutFor(page, count).Body.height(); });
}

CalcPageLayout CalcPrintedPages::layoutOf(int page) const
{
    return layoutFor(page, count_);
}

CalcPageSpan CalcPrintedPages::linesOf(int page) const
{
    if (page < 1 || page > pageCount())
        return {};
    return pagination_.Pages[static_cast<std::size_t>(page - 1)];
}

void CalcPrintedPages::paintPage(QPainter& painter, int page) const
{
    const CalcPageLayout layout = layoutOf(page);
    if (!layout.Prints)
        return;
    painter.save();
    // The layout counts from the printable area's corner; the painter from
    // the paper's.
    painter.translate(geometry_.Unprintable.left(), geometry_.Unprintable.top());
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(Qt::black);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);

    if (layout.Icon)
        painter.drawImage(*layout.Icon, icon_);
    painter.setFont(serviceFont_);
    for (const auto& item : {layout.FileInfo, layout.DateTime, layout.PageNumber}) {
        if (item)
            painter.drawText(item->Box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine,
                             item->Text);
    }

    const CalcPageSpan lines = linesOf(page);
    if (lines.LineCount > 0) {
        painter.setClipRect(layout.Body);
        body_->draw(painter, lines.FirstLine, lines.LineCount, layout.Body.topLeft());
    }
    painter.restore();
}
