// The page layout of printing: which header and footer items fit and where
// they go, the insets, and the rectangle left for the body. The service font
// is measured as 10 pixels per character and 20 pixels per line.
#include "desktop/ui/print/CalcPageLayout.h"

#include <gtest/gtest.h>

namespace {

using namespace CalcPrintItems;

constexpr int CharWidth = 10;
constexpr int LineHeight = 20;
constexpr int IconHeight = 16;

CalcServiceMetrics Metrics()
{
    CalcServiceMetrics metrics;
    metrics.Width = [](const QString& text) { return static_cast<int>(text.size()) * CharWidth; };
    metrics.Height = LineHeight;
    metrics.CharacterHeight = IconHeight;
    return metrics;
}

// A page of 1000 by 1400 printable pixels at 254 dots per inch, so that a
// margin of 1000 units (0.1 mm) is exactly one pixel; no unprintable border.
CalcPageGeometry Page(int width = 1000, int height = 1400, QMargins border = {})
{
    return CalcPageGeometry{QSize(width, height), border, 254, 254};
}

// No margins: the drawing rectangle is the printable area.
CalcPageFacts Facts(std::uint32_t items, const QString& path = QStringLiteral("/home/user/sums.vcl"))
{
    CalcPageFacts facts;
    facts.Items = items;
    facts.Path = path;
    facts.Now = QDateTime(QDate(2024, 3, 7), QTime(9, 5));
    facts.Page = 1;
    facts.PageCount = 2;
    return facts;
}

std::uint32_t ItemsWith(std::uint32_t checks, NumberFormat format, NumberPosition position)
{
    return Compose(checks & FileInfo, checks & Time, checks & Date, checks & Number, format, position);
}

TEST(PageLayout, DefaultItemsGiveIconFileInfoTimeDateAndPageOfCountAtTheFooterRight)
{
    CalcPageFacts facts = Facts(CalcPrintSettings{}.Items);
    const CalcPageLayout layout = LayOutPage(Page(), Metrics(), facts);
    ASSERT_TRUE(layout.Prints);
    EXPECT_EQ(layout.Drawing, QRect(0, 0, 1000, 1400));

    ASSERT_TRUE(layout.Icon);
    EXPECT_EQ(*layout.Icon, QRect(0, 0, IconHeight, IconHeight)) << "one text line high, square at equal dpi";
    ASSERT_TRUE(layout.FileInfo);
    EXPECT_EQ(layout.FileInfo->Text, QStringLiteral(" Calculator file sums.vcl"));
    EXPECT_EQ(layout.FileInfo->Box.topLeft(), QPoint(IconHeight, 0)) << "the text follows the icon";

    ASSERT_TRUE(layout.DateTime);
    EXPECT_EQ(layout.DateTime->Text, QStringLiteral("09:05 7 Mar 2024"));
    EXPECT_EQ(layout.DateTime->Box.topLeft(), QPoint(0, 1400 - LineHeight)) << "bottom left";

    ASSERT_TRUE(layout.PageNumber);
    EXPECT_EQ(layout.PageNumber->Text, QStringLiteral("1 of 2"));
    EXPECT_EQ(layout.PageNumber->Box.topLeft(), QPoint(1000 - 6 * CharWidth, 1400 - LineHeight)) << "bottom right";

    EXPECT_EQ(layout.HeaderHeight, LineHeight);
    EXPECT_EQ(layout.FooterHeight, LineHeight);
    EXPECT_EQ(layout.Body, QRect(0, 2 * LineHeight, 1000, 1400 - 4 * LineHeight)) << "two lines off each end";
}

TEST(PageLayout, FileInfoNamesTheKindOfFile)
{
    struct Row {
        const char* path;
        const char* text;
    };
    const Row rows[] = {
        {"/data/sums.vcl", " Calculator file sums.vcl"},
        {"/data/cells.vcm", " Calculator memory file cells.vcm"},
        {"relative/notes.txt", " Calculator file notes.txt"},
        {"", " Calculator unnamed file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const CalcPageLayout layout = LayOutPage(Page(), Metrics(), Facts(FileInfo, QString::fromUtf8(row.path)));
        ASSERT_TRUE(layout.FileInfo);
        EXPECT_EQ(layout.FileInfo->Text, QString::fromUtf8(row.text));
    }
}

TEST(PageLayout, ANarrowingPageDropsTheFileInfoStepByStep)
{
    // " Calculator file ab.vcl" is 23 characters, " File ab.vcl" 12, " ab.vcl" 7,
    // "ab.vcl" 6; the icon takes 16 pixels.
    struct Row {
        int width;
        const char* text;  // null: no file info and no icon
    };
    const Row rows[] = {
        {16 + 230, " Calculator file ab.vcl"},
        {16 + 229, " File ab.vcl"},
        {16 + 120, " File ab.vcl"},
        {16 + 119, " ab.vcl"},
        {16 + 69, "ab.vcl"},
        {16 + 60, "ab.vcl"},
        {16 + 59, nullptr},
        {10, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.width);
        const CalcPageLayout layout =
            LayOutPage(Page(row.width), Metrics(), Facts(FileInfo, QStringLiteral("/x/ab.vcl")));
        ASSERT_TRUE(layout.Prints);
        if (!row.text) {
            EXPECT_FALSE(layout.FileInfo);
            EXPECT_FALSE(layout.Icon);
            EXPECT_EQ(layout.HeaderHeight, 0);
            continue;
        }
        ASSERT_TRUE(layout.FileInfo);
        EXPECT_EQ(layout.FileInfo->Text, QString::fromUtf8(row.text));
        EXPECT_TRUE(layout.Icon);
    }
}

TEST(PageLayout, AnUntitledDocumentFallsBackToTheIconAlone)
{
    const CalcPageLayout layout = LayOutPage(Page(100), Metrics(), Facts(FileInfo, QString()));
    ASSERT_TRUE(layout.FileInfo);
    EXPECT_EQ(layout.FileInfo->Text, QString());
    EXPECT_TRUE(layout.Icon);
}

TEST(PageLayout, WithoutStretchableBitmapsThereIsNoIconAndNoLeadingSpace)
{
    CalcPageFacts facts = Facts(FileInfo, QStringLiteral("/x/ab.vcl"));
    facts.CanStretchBitmaps = false;
    const CalcPageLayout layout = LayOutPage(Page(), Metrics(), facts);
    EXPECT_FALSE(layout.Icon);
    ASSERT_TRUE(layout.FileInfo);
    EXPECT_EQ(layout.FileInfo->Text, QStringLiteral("Calculator file ab.vcl"));
    EXPECT_EQ(layout.FileInfo->Box.topLeft(), QPoint(0, 0));
}

TEST(PageLayout, TheIconIsWidenedByTheRatioOfTheResolutions)
{
    CalcPageGeometry page = Page();
    page.DpiX = 508;  // twice as many dots across
    const CalcPageLayout layout = LayOutPage(page, Metrics(), Facts(FileInfo));
    ASSERT_TRUE(layout.Icon);
    EXPECT_EQ(layout.Icon->size(), QSize(2 * IconHeight, IconHeight));
}

TEST(PageLayout, InsetsAreMarginsLessTheUnprintableBorderAndNeverNegative)
{
    struct Row {
        std::int64_t margin;  // 0.0001 mm; 1000 is one pixel here
        int border;
        int inset;
    };
    const Row rows[] = {
        {250000, 0, 250}, {250000, 40, 210}, {10000, 40, 0},  // a margin under the border
        {40000, 40, 0},   {1499, 0, 1},      {1500, 0, 2},    // rounded to the nearest pixel
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.margin);
        CalcPageFacts facts = Facts(0);
        facts.MarginLeft = row.margin;
        facts.MarginTop = row.margin;
        facts.MarginRight = row.margin;
        facts.MarginBottom = row.margin;
        const QMargins border(row.border, row.border, row.border, row.border);
        const CalcPageLayout layout = LayOutPage(Page(1000, 1400, border), Metrics(), facts);
        ASSERT_TRUE(layout.Prints);
        EXPECT_EQ(layout.Drawing, QRect(row.inset, row.inset, 1000 - 2 * row.inset, 1400 - 2 * row.inset));
    }
}

TEST(PageLayout, MarginsThatLeaveNoPrintableAreaPrintNothing)
{
    struct Row {
        std::int64_t left, top, right, bottom;
        bool prints;
    };
    const Row rows[] = {
        {500000, 0, 499000, 0, true}, {500000, 0, 500000, 0, false}, {0, 700000, 0, 700000, false},
        {0, 0, 1000000, 0, false},    {0, 1400000, 0, 0, false},     {0, 699000, 0, 700000, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.left << ' ' << row.top << ' ' << row.right << ' ' << row.bottom);
        CalcPageFacts facts = Facts(CalcPrintSettings{}.Items);
        facts.MarginLeft = row.left;
        facts.MarginTop = row.top;
        facts.MarginRight = row.right;
        facts.MarginBottom = row.bottom;
        const CalcPageLayout layout = LayOutPage(Page(), Metrics(), facts);
        EXPECT_EQ(layout.Prints, row.prints);
        if (!row.prints) {
            EXPECT_FALSE(layout.FileInfo || layout.DateTime || layout.PageNumber || layout.Icon);
        }
    }
}

TEST(PageLayout, DateAndTimeFallBackToTheDateAlone)
{
    // "09:05 7 Mar 2024" is 16 characters, "7 Mar 2024" 10, "09:05" 5.
    struct Row {
        std::uint32_t items;
        int width;
        const char* text;
    };
    const Row rows[] = {
        {Time | Date, 160, "09:05 7 Mar 2024"},
        {Time | Date, 159, "7 Mar 2024"},
        {Time | Date, 99, nullptr},
        {Time, 50, "09:05"},
        {Time, 49, nullptr},
        {Date, 100, "7 Mar 2024"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.items << ' ' << row.width);
        const CalcPageLayout layout = LayOutPage(Page(row.width), Metrics(), Facts(row.items));
        if (!row.text) {
            EXPECT_FALSE(layout.DateTime);
            EXPECT_EQ(layout.FooterHeight, 0);
            continue;
        }
        ASSERT_TRUE(layout.DateTime);
        EXPECT_EQ(layout.DateTime->Text, QString::fromUtf8(row.text));
        EXPECT_EQ(layout.FooterHeight, LineHeight);
    }
}

TEST(PageLayout, TheFooterTimeAndDateKeepTheirFormatInEveryLocale)
{
    struct Row {
        QDateTime now;
        const char* time;
        const char* date;
    };
    const Row rows[] = {
        {QDateTime(QDate(2024, 1, 1), QTime(0, 0)), "00:00", "1 Jan 2024"},
        {QDateTime(QDate(1999, 12, 31), QTime(23, 59)), "23:59", "31 Dec 1999"},
        {QDateTime(QDate(2031, 5, 9), QTime(7, 3)), "07:03", "9 May 2031"},
    };
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const Row& row : rows) {
        EXPECT_EQ(FooterTime(row.now), QString::fromUtf8(row.time));
        EXPECT_EQ(FooterDate(row.now), QString::fromUtf8(row.date));
    }
    QLocale::setDefault(saved);
}

TEST(PageLayout, PageNumberFormatsFallBackToThePlainNumber)
{
    struct Row {
        NumberFormat format;
        int page, count, width;
        const char* text;
    };
    const Row rows[] = {
        {NumberFormat::Plain, 7, 9, 100, "7"},
        {NumberFormat::Dashed, 7, 9, 100, "- 7 -"},
        {NumberFormat::OfCount, 7, 9, 100, "7 of 9"},
        {NumberFormat::OfCount, 12, 120, 90, "12 of 120"},  // 90 wide: it fits exactly
        {NumberFormat::OfCount, 12, 120, 89, "12"},
        {NumberFormat::Dashed, 12, 0, 49, "12"},
        {NumberFormat::Dashed, 12, 0, 19, nullptr},
        {NumberFormat::Plain, 12, 0, 19, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(row.format) << ' ' << row.width);
        CalcPageFacts facts = Facts(ItemsWith(Number, row.format, NumberPosition::FooterRight));
        facts.Page = row.page;
        facts.PageCount = row.count;
        const CalcPageLayout layout = LayOutPage(Page(row.width), Metrics(), facts);
        if (!row.text) {
            EXPECT_FALSE(layout.PageNumber);
            continue;
        }
        ASSERT_TRUE(layout.PageNumber);
        EXPECT_EQ(layout.PageNumber->Text, QString::fromUtf8(row.text));
        EXPECT_EQ(layout.PageNumber->Box.right() + 1, row.width) << "right-aligned";
    }
}

TEST(PageLayout, ACentredPageNumberMovesRightWhenTheDateLeavesTooLittleRoom)
{
    // Page 1000 wide; "1 of 2" is 60 wide; the digit "8" 10. Centred needs
    // an available width of (1000 + 60 + 1) / 2 + 10 = 540.
    struct Row {
        int dateWidth;  // of the date on the left, in characters
        int x;
    };
    const Row rows[] = {
        {10, (1000 - 60 + 1) / 2},  // "7 Mar 2024": 900 left
        {46, (1000 - 60 + 1) / 2},  // 540 left: still centred
        {47, 1000 - 60},            // 530 left: right-aligned
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.dateWidth);
        // The date is measured as wide as the row says: a long date.
        CalcServiceMetrics metrics = Metrics();
        const QString date = FooterDate(Facts(0).Now);
        metrics.Width = [date, chars = row.dateWidth](const QString& text) {
            return text == date ? chars * CharWidth : static_cast<int>(text.size()) * CharWidth;
        };
        const CalcPageLayout layout = LayOutPage(
            Page(), metrics, Facts(ItemsWith(Date | Number, NumberFormat::OfCount, NumberPosition::FooterCenter)));
        ASSERT_TRUE(layout.DateTime);
        ASSERT_TRUE(layout.PageNumber);
        EXPECT_EQ(layout.PageNumber->Box.left(), row.x);
    }
}

TEST(PageLayout, PageNumberInTheHeaderSharesItWithTheFileInfo)
{
    const std::uint32_t items = ItemsWith(FileInfo | Number, NumberFormat::Plain, NumberPosition::HeaderRight);
    const CalcPageLayout layout = LayOutPage(Page(), Metrics(), Facts(items));
    ASSERT_TRUE(layout.FileInfo);
    ASSERT_TRUE(layout.PageNumber);
    EXPECT_EQ(layout.PageNumber->Box.topLeft(), QPoint(1000 - CharWidth, 0));
    EXPECT_EQ(layout.HeaderHeight, LineHeight);
    EXPECT_EQ(layout.FooterHeight, 0);
    EXPECT_EQ(layout.Body, QRect(0, 2 * LineHeight, 1000, 1400 - 2 * LineHeight));

    // A centred "1" needs (1000 + 10 + 1) / 2 + 10 = 515 pixels beside the
    // file info: a long name leaves 1000 - 16 - 650, and the "1" goes right.
    const std::uint32_t centred = ItemsWith(FileInfo | Number, NumberFormat::Plain, NumberPosition::HeaderCenter);
    CalcPageFacts facts = Facts(centred, QStringLiteral("/") + QString(48, u'x'));
    const CalcPageLayout crowded = LayOutPage(Page(), Metrics(), facts);
    ASSERT_TRUE(crowded.PageNumber);
    EXPECT_EQ(crowded.PageNumber->Box.left(), 1000 - CharWidth);
    const CalcPageLayout roomy = LayOutPage(Page(), Metrics(), Facts(centred));
    ASSERT_TRUE(roomy.PageNumber);
    EXPECT_EQ(roomy.PageNumber->Box.left(), (1000 - CharWidth + 1) / 2);
}

TEST(PageLayout, TheNumberDoesNotRunIntoTheFileInfo)
{
    // Header 300 wide: icon 16 + " Calculator file ab.vcl" 230 leave 54,
    // too little for "1 of 2" (60), enough for "1".
    const std::uint32_t items = ItemsWith(FileInfo | Number, NumberFormat::OfCount, NumberPosition::HeaderRight);
    const CalcPageLayout layout = LayOutPage(Page(300), Metrics(), Facts(items, QStringLiteral("/x/ab.vcl")));
    ASSERT_TRUE(layout.FileInfo);
    ASSERT_TRUE(layout.PageNumber);
    EXPECT_EQ(layout.PageNumber->Text, QStringLiteral("1"));
    EXPECT_GE(layout.PageNumber->Box.left(), layout.FileInfo->Box.right() + 1);
}

TEST(PageLayout, NoItemsLeaveTheWholeDrawingToTheBody)
{
    const CalcPageLayout layout = LayOutPage(Page(), Metrics(), Facts(0));
    EXPECT_EQ(layout.Body, layout.Drawing);
}

TEST(PageLayout, TheBodyOfAPageShorterThanItsHeaderAndFooterIsEmpty)
{
    const CalcPageLayout layout = LayOutPage(Page(1000, 70), Metrics(), Facts(CalcPrintSettings{}.Items));
    ASSERT_TRUE(layout.Prints);
    EXPECT_EQ(layout.Body.height(), 0);
}

TEST(PrintItems, HeaderAndFooterFollowTheItems)
{
    struct Row {
        std::uint32_t items;
        bool header, footer;
    };
    const Row rows[] = {
        {431, true, true},
        {0, false, false},
        {FileInfo, true, false},
        {Time, false, true},
        {Date, false, true},
        {ItemsWith(Number, NumberFormat::Plain, NumberPosition::HeaderCenter), true, false},
        {ItemsWith(Number, NumberFormat::Plain, NumberPosition::HeaderRight), true, false},
        {ItemsWith(Number, NumberFormat::Plain, NumberPosition::FooterCenter), false, true},
        {ItemsWith(0, NumberFormat::Plain, NumberPosition::FooterCenter), false, false},
        {Number | 7u << 7, false, true},  // a position beyond the last counts as "Footer right"
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.items);
        EXPECT_EQ(HasHeader(row.items), row.header);
        EXPECT_EQ(HasFooter(row.items), row.footer);
    }
}

TEST(PrintItems, ChoicesKeepToTheirOwnBits)
{
    EXPECT_EQ(Compose(true, true, true, true, NumberFormat::OfCount, NumberPosition::FooterRight), 431u);
    EXPECT_EQ(Compose(false, false, false, false, NumberFormat::Dashed, NumberPosition::HeaderRight), 16u + 128u);
    EXPECT_EQ(FormatOf(431), NumberFormat::OfCount);
    EXPECT_EQ(PositionOf(431), NumberPosition::FooterRight);
    EXPECT_EQ(FormatOf(7u << 4), NumberFormat::OfCount) << "beyond the last format";
    EXPECT_EQ(PositionOf(7u << 7), NumberPosition::FooterRight) << "beyond the last position";
}

TEST(PrintItems, MarginPixelsAreRounded)
{
    EXPECT_EQ(MarginPixels(250000, 600), 591);  // 25 mm at 600 dpi: 590.55
    EXPECT_EQ(MarginPixels(150000, 1200), 709);
    EXPECT_EQ(MarginPixels(0, 1200), 0);
    EXPECT_EQ(MarginPixels(10'000'000, 4800), 188976);
}

}  // namespace
