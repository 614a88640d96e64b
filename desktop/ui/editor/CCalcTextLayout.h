// Where the editor's text breaks into the lines on the screen, and how a line
// is drawn. Lines wrap at the width given: at the last place where a word may
// end, or, when no such place fits, after the last whole character that fits.
//
// The layout is kept for the whole text at once, as a sorted list of the
// positions where lines start, so that a change costs what it changes: after
// an edit only the lines from the one before it on are broken again, until a
// new line starts where an old one did. Breaking a line sums the widths of
// its characters, kept for every code unit: a character of one code unit is
// measured once per font, one of several (an accented letter, a pair beyond
// the basic plane) or of a joining script once per font as it stands alone,
// which for joined letters is near enough. Only the lines on the screen are
// shaped for drawing, by Qt's text layout.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QTextLayout>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "desktop/ui/editor/CTextRange.h"

class CCalcTextLayout final {
public:
    // text is the text laid out; it must outlive the layout.
    explicit CCalcTextLayout(const QString& text);
    ~CCalcTextLayout();
    CCalcTextLayout(const CCalcTextLayout&) = delete;
    CCalcTextLayout& operator=(const CCalcTextLayout&) = delete;

    // The font lines are measured and drawn in. Kerning and optional shaping
    // are turned off, so that a line is exactly as wide as its characters.
    void setFont(const QFont& font);
    const QFont& font() const { return font_; }
    // The width a line may take, in pixels.
    void setWidth(qreal width);
    qreal width() const { return width_; }
    // Distance between tab stops, in pixels.
    static constexpr qreal TabStop = 80;

    // Lays the whole text out again.
    void relayout();
    // Brings the layout up to date after removed code units at position were
    // replaced by added ones.
    void textChanged(int position, int removed, int added);
    // The text with preedit shown at position (an input method's text being
    // composed), or no preedit when text is empty. Positions are unchanged.
    void setPreedit(int position, const QString& text, const QList<QTextLayout::FormatRange>& formats);
    // Colour ranges for the stretch start..end of a line, relative to start,
    // asked for when the line is shaped. They must not change the font, so
    // that a line stays as wide as its characters measure.
    using Formatter = std::function<QList<QTextLayout::FormatRange>(int start, int end)>;
    void setFormatter(Formatter formatter);
    // Shapes the lines again when next drawn, for new colours.
    void clearShapes() { shaped_.clear(); }

    int lineCount() const { return static_cast<int>(lineStarts_.size()); }
    int lineHeight() const { return lineHeight_; }
    // Where a line's baseline stands below its top.
    qreal ascent() const { return ascent_; }
    int lineStart(int line) const;
    // The end of a line's text, not counting the line break.
    int lineEnd(int line) const;
    // The line showing position; where a line wraps, its end is the next
    // line's start.
    int lineOf(int position) const;

    // Caret positions: the boundaries of characters as the user sees them (a
    // surrogate pair or a letter with its accents is one).
    int nextCursorPosition(int position) const;
    int previousCursorPosition(int position) const;
    // Word moves, as Ctrl+Right and Ctrl+Left do them: over a word or a run of
    // punctuation and the blanks behind it; a line break is a word of its own.
    int nextWordPosition(int position) const;
    int previousWordPosition(int position) const;
    // The word, run of punctuation or run of blanks at position.
    CTextRange wordAt(CTextPosition position) const;

    // A line shaped for drawing, its baseline at the layout's ascent; it stays
    // valid until the next change of the text, font, width or preedit.
    QTextLayout& shapedLine(int line) const;
    // The x of a caret at position within its line, or within line.
    qreal xOf(int position) const;
    qreal xOf(int position, int line) const;
    // The caret position nearest to x on a line, and the character under x.
    int positionAt(int line, qreal x) const;
    int characterAt(int line, qreal x) const;

private:
    enum Flag : std::uint8_t { LineBreakBefore = 1, CursorBefore = 2 };

    // Breaks the whole text into lines again (the flags stay).
    void breakAllLines();
    // The start of the line after the one starting at start, within the
    // paragraph ending at end (its line break or the end of the text).
    int breakLine(int start, int end) const;
    // Recomputes the break and caret flags of positions from to to - 1 and
    // the widths of the characters there; gives the end of what changed.
    int computeFlags(int from, int to);
    int computeWidths(int from, int to);
    // The width of a basic-plane character that is one code unit, or
    // VariableWidth when its neighbours change it.
    float advance(char16_t c) const;
    // The width of the character (or joined letter) from..to, as measured
    // on its own.
    float clusterWidth(int from, int to) const;
    int hitTest(int line, qreal x, QTextLine::CursorPosition mode) const;
    int paragraphEnd(int from) const;
    QTextOption lineOption() const;

    const QString& text_;
    QFont font_;
    QFontMetricsF metrics_;
    // No wrapping until a width is given (a window not shown yet).
    qreal width_ = std::numeric_limits<qreal>::max();
    int lineHeight_ = 1;
    qreal ascent_ = 0;
    // One entry per position 0..size: Flag bits.
    std::vector<std::uint8_t> flags_;
    // Where each line starts; the first line starts at 0.
    std::vector<int> lineStarts_{0};
    // One entry per code unit: the width of the character it starts, 0
    // inside a character, TabWidth for a tab.
    std::vector<float> widths_;
    // Widths of the basic plane's characters, measured when first met, and
    // of characters made of several code units.
    mutable std::vector<float> advances_;
    mutable std::unordered_map<std::u16string, float> clusterWidths_;
    mutable std::unordered_map<int, std::unique_ptr<QTextLayout>> shaped_;
    int preeditPosition_ = -1;
    QString preeditText_;
    QList<QTextLayout::FormatRange> preeditFormats_;
    Formatter formatter_;
};
