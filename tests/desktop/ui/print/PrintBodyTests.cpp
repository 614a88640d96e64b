// The printed body: lines wrapped at the body width and their division into
// pages.
#include "desktop/ui/print/CalcPrintBody.h"

#include <QFontMetrics>
#include <QImage>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Pagination, PagesTakeTheWholeLinesThatFit)
{
    struct Row {
        const char* name;
        std::vector<int> heights;
        std::vector<int> room;  // body height of page 1, 2, ...; the last one repeats
        std::vector<CalcPageSpan> pages;
        bool complete;
    };
    const Row rows[] = {
        {"no lines", {}, {100}, {{0, 0}}, true},
        {"all on one page", {10, 10, 10}, {30}, {{0, 3}}, true},
        {"one over", {10, 10, 10}, {25}, {{0, 2}, {2, 1}}, true},
        {"a shorter first page", {10, 10, 10, 10}, {15, 30}, {{0, 1}, {1, 3}}, true},
        {"a line taller than the body", {10, 50, 10}, {40}, {{0, 1}, {1, 0}}, false},
        {"no room at all", {10}, {0}, {{0, 0}}, false},
        {"an empty body and no text", {}, {0}, {{0, 0}}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CalcPagination pagination = Paginate(row.heights, [&row](int page) {
            return row.room[std::min<std::size_t>(static_cast<std::size_t>(page - 1), row.room.size() - 1)];
        });
        EXPECT_EQ(pagination.Pages, row.pages);
        EXPECT_EQ(pagination.Complete, row.complete);
    }
}

TEST(Pagination, EveryLineLandsOnExactlyOnePage)
{
    std::vector<int> heights;
    for (int i = 0; i < 1000; ++i)
        heights.push_back(10 + i % 7);
    const CalcPagination pagination = Paginate(heights, [](int page) { return page % 2 ? 300 : 200; });
    ASSERT_TRUE(pagination.Complete);
    int next = 0;
    for (const CalcPageSpan& page : pagination.Pages) {
        EXPECT_EQ(page.FirstLine, next);
        EXPECT_GT(page.LineCount, 0);
        next += page.LineCount;
    }
    EXPECT_EQ(next, 1000);
}

class PrintBody : public ::testing::Test {
protected:
    PrintBody() : device(1200, 1200, QImage::Format_RGB32)
    {
        device.setDotsPerMeterX(3780);  // 96 dots per inch
        device.setDotsPerMeterY(3780);
        font.setFamily(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::TypeWriter);
        font.setPixelSize(20);
    }

    QImage device;
    QFont font;
};

TEST_F(PrintBody, LinesBreakAtTheBodyWidthAndKeepEveryCharacter)
{
    const QString longLine =
        QStringLiteral("sum(i, 1, 100, i^2) = 338350; // the squares of the first hundred numbers, added up");
    const QString text = QStringLiteral("2+3 = 5\n\n") + longLine;
    const int width = 200;
    const CalcPrintBody body(text, font, &device, width);

    ASSERT_GT(body.lineCount(), 3) << "the long line wraps";
    EXPECT_EQ(body.lineText(0), QStringLiteral("2+3 = 5"));
    EXPECT_EQ(body.lineText(1), QString()) << "an empty line keeps its line";
    QString rejoined;
    const QFontMetrics measures(QFont(font, &device), &device);
    for (int i = 2; i < body.lineCount(); ++i) {
        rejoined += body.lineText(i);
        EXPECT_LE(measures.horizontalAdvance(body.lineText(i).trimmed()), width) << body.lineText(i).toStdString();
        EXPECT_GT(body.lineHeights()[static_cast<std::size_t>(i)], 0);
    }
    EXPECT_EQ(rejoined, longLine);
}

TEST_F(PrintBody, AWordWiderThanTheBodyBreaksAnywhere)
{
    const QString word(60, u'7');
    const CalcPrintBody body(word, font, &device, 100);
    ASSERT_GT(body.lineCount(), 1);
    QString rejoined;
    for (int i = 0; i < body.lineCount(); ++i)
        rejoined += body.lineText(i);
    EXPECT_EQ(rejoined, word);
}

TEST_F(PrintBody, AParagraphLongerThanAStretchBreaksAsAWhole)
{
    // Words of varying length, far more than one stretch of layout, and a
    // character beyond the basic plane now and then.
    QString paragraph;
    for (int i = 0; paragraph.size() < 50000; ++i) {
        paragraph += QString(1 + i % 9, QChar(u'a' + i % 26)) + u' ';
        if (i % 97 == 0)
            paragraph += QStringLiteral("\U0001D400 ");
    }
    const int width = 333;
    const CalcPrintBody body(QStringLiteral("first\n") + paragraph + QStringLiteral("\nlast"), font, &device, width);

    // The same paragraph laid out in one go.
    QTextLayout whole(paragraph, QFont(font, &device), &device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    whole.setTextOption(option);
    whole.beginLayout();
    for (QTextLine line = whole.createLine(); line.isValid(); line = whole.createLine())
        line.setLineWidth(width);
    whole.endLayout();

    ASSERT_EQ(body.lineCount(), whole.lineCount() + 2);
    EXPECT_EQ(body.lineText(0), QStringLiteral("first"));
    for (int i = 0; i < whole.lineCount(); ++i) {
        const QTextLine line = whole.lineAt(i);
        ASSERT_EQ(body.lineText(i + 1), paragraph.mid(line.textStart(), line.textLength())) << "line " << i;
    }
    EXPECT_EQ(body.lineText(body.lineCount() - 1), QStringLiteral("last"));
}

TEST_F(PrintBody, AnEmptyTextIsOneEmptyLine)
{
    const CalcPrintBody body(QString(), font, &device, 300);
    ASSERT_EQ(body.lineCount(), 1);
    EXPECT_EQ(body.lineText(0), QString());
}

}  // namespace
