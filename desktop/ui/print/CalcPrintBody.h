// The body of a printed text: its lines wrapped at the body width in the print
// text font, and their division into pages.
#pragma once

#include <QFont>
#include <QString>

#include <functional>
#include <span>
#include <vector>

class QPaintDevice;
class QPainter;
class QPointF;

// The lines one page holds.
struct CalcPageSpan {
    int FirstLine = 0;
    int LineCount = 0;

    bool operator==(const CalcPageSpan&) const = default;
};

struct CalcPagination {
    std::vector<CalcPageSpan> Pages;  // at least one page, even for no lines
    // False when a page had no room for the next line: the text from there on
    // is not printed (the margins or the fonts leave too little room).
    bool Complete = true;
};

// Fills pages in turn with as many whole lines as fit into the body height of
// each page (bodyHeight(1) for the first page); a page that cannot take even
// its first line ends the pagination.
CalcPagination Paginate(std::span<const int> lineHeights, const std::function<int(int page)>& bodyHeight);

// The body keeps only where each line starts and how high it is: a page lays
// its own lines out again when it is painted, so that a long text costs a few
// bytes a line and not its whole layout.
class CalcPrintBody final {
public:
    // Lays text out in font on device, wrapped at width: each "\n" starts a
    // new paragraph, long lines break at word boundaries or, for a word
    // wider than the body, anywhere.
    CalcPrintBody(const QString& text, const QFont& font, QPaintDevice* device, int width);

    std::span<const int> lineHeights() const { return heights_; }
    int lineCount() const { return static_cast<int>(heights_.size()); }
    // The text of line index (for tests and the accessible description).
    QString lineText(int index) const;

    // Draws count lines from first, one below the other from topLeft.
    void draw(QPainter& painter, int first, int count, const QPointF& topLeft) const;

private:
    struct Line {
        qsizetype Start;  // in the text
        int Length;
    };

    void layOutParagraph(qsizetype start, qsizetype end);

    QString text_;
    QFont font_;
    QPaintDevice* device_;
    int width_;
    std::vector<Line> lines_;
    std::vector<int> heights_;
};
