#include "desktop/ui/print/CalcPageLayout.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

using namespace CalcPrintItems;

// Month names of the footer date, the same in every locale.
constexpr const char* MonthAbbreviations[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

QString PageNumberText(NumberFormat format, int page, int count)
{
    switch (format) {
    case NumberFormat::Plain:
        return QString::number(page);
    case NumberFormat::Dashed:
        return QStringLiteral("- %1 -").arg(page);
    case NumberFormat::OfCount:
        return QStringLiteral("%1 of %2").arg(page).arg(count);
    }
    return QString::number(page);
}

// The right edge of a rectangle as a position: left plus width.
int RightEdge(const QRect& rect)
{
    return rect.left() + rect.width();
}

int BottomEdge(const QRect& rect)
{
    return rect.top() + rect.height();
}

// File info, at the top left: the icon one text line high and the first text
// of the fall-back list that fits beside it into the header width.
void PlaceFileInfo(const CalcPageGeometry& page, const CalcServiceMetrics& font, const CalcPageFacts& facts,
                   CalcPageLayout& layout, int& headerWidth)
{
    int iconWidth = 0;
    if (facts.CanStretchBitmaps && page.DpiY > 0)
        iconWidth = static_cast<int>(static_cast<std::int64_t>(font.CharacterHeight) * page.DpiX / page.DpiY);
    for (QString text : FileInfoCandidates(facts.Path)) {
        // Without the icon the text stands alone and needs no leading space.
        if (!facts.CanStretchBitmaps) {
            qsizetype first = 0;
            while (first < text.size() && text[first] == u' ')
                ++first;
            text.remove(0, first);
        }
        const int width = font.Width(text);
        if (iconWidth + width > headerWidth)
            continue;
        const QPoint corner = layout.Drawing.topLeft();
        if (iconWidth > 0)
            layout.Icon = QRect(corner, QSize(iconWidth, font.CharacterHeight));
        layout.FileInfo = CalcPlacedText{text, QRect(corner + QPoint(iconWidth, 0), QSize(width, font.Height))};
        // The page number must not run into the icon either.
        headerWidth -= iconWidth + width;
        layout.HeaderHeight = font.Height;
        return;
    }
}

// Time and date, at the bottom left; the date alone when both do not fit.
void PlaceDateTime(const CalcServiceMetrics& font, const CalcPageFacts& facts, CalcPageLayout& layout, int& footerWidth)
{
    const bool time = (facts.Items & Time) != 0;
    const bool date = (facts.Items & Date) != 0;
    std::vector<QString> candidates;
    if (time && date) {
        candidates = {FooterTime(facts.Now) + u' ' + FooterDate(facts.Now), FooterDate(facts.Now)};
    } else {
        candidates = {time ? FooterTime(facts.Now) : FooterDate(facts.Now)};
    }
    for (const QString& text : candidates) {
        const int width = font.Width(text);
        if (width > footerWidth)
            continue;
        const QPoint corner(layout.Drawing.left(), BottomEdge(layout.Drawing) - font.Height);
        layout.DateTime = CalcPlacedText{text, QRect(corner, QSize(width, font.Height))};
        footerWidth -= width;
        layout.FooterHeight = font.Height;
        return;
    }
}

// The page number in the header or footer: its format, else plain "n", in the
// room the other items left; centred only while that leaves it clear of them.
void PlacePageNumber(const CalcServiceMetrics& font, const CalcPageFacts& facts, CalcPageLayout& layout,
                     int headerWidth, int footerWidth)
{
    const NumberFormat format = FormatOf(facts.Items);
    const NumberPosition position = PositionOf(facts.Items);
    const bool inHeader = NumberInHeader(facts.Items);
    const int available = inHeader ? headerWidth : footerWidth;

    QString text = PageNumberText(format, facts.Page, facts.PageCount);
    int width = font.Width(text);
    if (width > available && format != NumberFormat::Plain) {
        text = PageNumberText(NumberFormat::Plain, facts.Page, facts.PageCount);
        width = font.Width(text);
    }
    if (width > available)
        return;

    const QRect& drawing = layout.Drawing;
    int x = RightEdge(drawing) - width;
    const bool centred = position == NumberPosition::HeaderCenter || position == NumberPosition::FooterCenter;
    if (centred && available >= (drawing.width() + width + 1) / 2 + font.Width(QStringLiteral("8")))
        x = drawing.left() + (drawing.width() - width + 1) / 2;
    const int y = inHeader ? drawing.top() : BottomEdge(drawing) - font.Height;
    layout.PageNumber = CalcPlacedText{text, QRect(QPoint(x, y), QSize(width, font.Height))};
    int& height = inHeader ? layout.HeaderHeight : layout.FooterHeight;
    height = std::max(height, font.Height);
}

}  // namespace

CalcPageFacts PageFactsOf(const CalcPrintSettings& settings)
{
    CalcPageFacts facts;
    facts.Items = settings.Items;
    facts.MarginLeft = settings.MarginLeft;
    facts.MarginTop = settings.MarginTop;
    facts.MarginRight = settings.MarginRight;
    facts.MarginBottom = settings.MarginBottom;
    return facts;
}

int MarginPixels(std::int64_t margin, int dpi)
{
    return static_cast<int>(std::llround(static_cast<double>(margin) * dpi / 254000.0));
}

QString FooterTime(const QDateTime& now)
{
    const QTime time = now.time();
    return QStringLiteral("%1:%2")
        .arg(time.hour(), 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'));
}

QString FooterDate(const QDateTime& now)
{
    const QDate date = now.date();
    const int month = std::clamp(date.month(), 1, 12);
    return QStringLiteral("%1 %2 %3")
        .arg(date.day())
        .arg(QLatin1String(MonthAbbreviations[month - 1]))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

std::vector<QString> FileInfoCandidates(const QString& path)
{
    if (path.isEmpty())
        return {QStringLiteral(" Calculator unnamed file"), QString()};
    const QString name = QFileInfo(path).fileName();
    // A memory file's path ends in "m" (".vcm").
    const QString kind =
        path.endsWith(u'm') ? QStringLiteral(" Calculator memory file ") : QStringLiteral(" Calculator file ");
    return {kind + name, QStringLiteral(" File ") + name, QStringLiteral(" ") + name, name};
}

CalcPageLayout LayOutPage(const CalcPageGeometry& page, const CalcServiceMetrics& font, const CalcPageFacts& facts)
{
    CalcPageLayout layout;
    const auto inset = [](std::int64_t margin, int dpi, int border) {
        return std::max(MarginPixels(margin, dpi) - border, 0);
    };
    const int left = inset(facts.MarginLeft, page.DpiX, page.Unprintable.left());
    const int top = inset(facts.MarginTop, page.DpiY, page.Unprintable.top());
    const int right = inset(facts.MarginRight, page.DpiX, page.Unprintable.right());
    const int bottom = inset(facts.MarginBottom, page.DpiY, page.Unprintable.bottom());
    if (static_cast<std::int64_t>(left) + right >= page.Printable.width() ||
        static_cast<std::int64_t>(top) + bottom >= page.Printable.height())
        return layout;

    layout.Prints = true;
    layout.Drawing = QRect(left, top, page.Printable.width() - left - right, page.Printable.height() - top - bottom);
    int headerWidth = layout.Drawing.width();
    int footerWidth = layout.Drawing.width();

    if (facts.Items & FileInfo)
        PlaceFileInfo(page, font, facts, layout, headerWidth);
    if (facts.Items & (Time | Date))
        PlaceDateTime(font, facts, layout, footerWidth);
    if (facts.Items & Number)
        PlacePageNumber(font, facts, layout, headerWidth, footerWidth);

    layout.Body = layout.Drawing.adjusted(0, 2 * layout.HeaderHeight, 0, -2 * layout.FooterHeight);
    if (layout.Body.height() < 0)
        layout.Body.setHeight(0);
    return layout;
}
