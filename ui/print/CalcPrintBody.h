// The body of a printed text: its lines wrapped at the body width in the print
// text font, and their division into pages.
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <span>
#include <vector>

class QFont;
class QPaintDevice;
class QPainter;
class QPointF;
class QTextLayout;

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

class CalcPrintBody final {
public:
    // Lays text out in font on device, wrapped at width: each "\n" starts a
    // new paragraph, long lines break at word boundaries or, for a word
    // wider than the body, anywhere.
    CalcPrintBody(const QString& text, const QFont& font, QPaintDevice* device, int width);
    ~CalcPrintBody();
    CalcPrintBody(const CalcPrintBody&) = delete;
    CalcPrintBody& operator=(const CalcPrintBody&) = delete;

    std::span<const int> lineHeights() const { return heights_; }
    int lineCount() const { return static_cast<int>(heights_.size()); }
    // The text of line index (for tests and the accessible description).
    QString lineText(int index) const;

    // Draws count lines from first, one below the other from topLeft.
    void draw(QPainter& painter, int first, int count, const QPointF& topLeft) const;

private:
    struct Line {
        int Paragraph;
        int Index;  // within the paragraph
    };

    std::vector<std::unique_ptr<QTextLayout>> paragraphs_;
    std::vector<Line> lines_;
    std::vector<int> heights_;
};
