// Breaking the editor's text into screen lines: where lines wrap, where the
// caret may stand, and that after any edit the layout is exactly what laying
// the whole text out again gives.
#include <QFontMetricsF>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "desktop/ui/editor/CCalcTextLayout.h"

namespace {

// A text and its layout in the default editor font, columns characters wide.
struct LaidOut {
    explicit LaidOut(qreal columns)
    {
        QFont font(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSize(15);
        layout.setFont(font);
        advance = QFontMetricsF(layout.font()).horizontalAdvance(u'x');
        layout.setWidth(columns * advance);
    }
    void set(const QString& replacement) { replace(0, static_cast<int>(text.size()), replacement); }
    void replace(int position, int length, const QString& replacement)
    {
        text.replace(position, length, replacement);
        layout.textChanged(position, length, static_cast<int>(replacement.size()));
    }
    std::vector<int> starts() const
    {
        std::vector<int> starts;
        for (int line = 0; line < layout.lineCount(); ++line)
            starts.push_back(layout.lineStart(line));
        return starts;
    }

    QString text;
    CCalcTextLayout layout{text};
    qreal advance = 1;
};

TEST(EditorLayout, LinesBreakAtWordsOrWhereTheyAreFull)
{
    struct Row {
        const char* name;
        QString text;
        int columns;
        std::vector<int> starts;
    };
    const Row rows[] = {
        {"a word that does not fit goes to the next line", "aaaa bbbb cccc", 10, {0, 10}},
        {"no place for a word to end: every line is full", "1+2;3+4;5+6", 4, {0, 4, 8}},
        {"a word longer than a line after a short one", "ab 1234567890", 5, {0, 3, 8}},
        {"blanks at a line's end hang beyond it", "aaaa      bbbb", 5, {0, 10}},
        {"a line that fits exactly", "abcde", 5, {0}},
        {"each paragraph starts a line", "ab\n\ncd", 10, {0, 3, 4}},
        {"a line break at the end starts an empty line", "ab\n", 10, {0, 3}},
        {"an empty text has one line", "", 10, {0}},
        {"a number moves whole to the next line", "x=12345", 6, {0, 2}},
        {"-> moves whole to the next line", "1+ab->c", 5, {0, 2}},
        {"a line narrower than one character holds one", "abc", 0, {0, 1, 2}},
        {"a surrogate pair is never split", QString::fromUtf16(u"\U0001D465\U0001D465\U0001D465"), 0, {0, 2, 4}},
        {"an accent stays with its letter", QString::fromUtf16(u"e\u0301e\u0301e"), 0, {0, 2, 4}},
    };
    for (const Row& row : rows) {
        LaidOut laidOut(row.columns);
        laidOut.set(row.text);
        EXPECT_EQ(laidOut.starts(), row.starts) << row.name;
    }
}

TEST(EditorLayout, ATabReachesTheNextStop)
{
    LaidOut laidOut(1);
    laidOut.layout.setWidth(CCalcTextLayout::TabStop + 2 * laidOut.advance);
    laidOut.set(QStringLiteral("\tab\tabc"));
    // "\tab" fills the line exactly; the second tab hangs beyond it, as
    // blanks do, and the next word starts the next line.
    EXPECT_EQ(laidOut.starts(), (std::vector<int>{0, 4}));
    EXPECT_DOUBLE_EQ(laidOut.layout.xOf(1), CCalcTextLayout::TabStop);
}

TEST(EditorLayout, LineEndsAndTheLineOfAPosition)
{
    LaidOut laidOut(4);
    laidOut.set(QStringLiteral("12345678\nab"));
    ASSERT_EQ(laidOut.starts(), (std::vector<int>{0, 4, 9}));
    EXPECT_EQ(laidOut.layout.lineEnd(0), 4);
    EXPECT_EQ(laidOut.layout.lineEnd(1), 8);  // the line break is not part of the line
    EXPECT_EQ(laidOut.layout.lineEnd(2), 11);
    // Where a line wraps, the position belongs to the line it starts.
    EXPECT_EQ(laidOut.layout.lineOf(4), 1);
    EXPECT_EQ(laidOut.layout.lineOf(8), 1);
    EXPECT_EQ(laidOut.layout.lineOf(9), 2);
    EXPECT_EQ(laidOut.layout.lineOf(11), 2);
}

TEST(EditorLayout, EveryLineFitsTheWidth)
{
    LaidOut laidOut(17);
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QString::fromUtf16(u"sin(\u03c0/4) \u0645\u0631\u062d\u0628\u0627 e\u0301\u0301 \U0001F600x;");
    laidOut.set(text);
    ASSERT_GT(laidOut.layout.lineCount(), 10);
    for (int line = 0; line < laidOut.layout.lineCount(); ++line) {
        const QTextLine shaped = laidOut.layout.shapedLine(line).lineAt(0);
        // Qt's own breaking of joined scripts lets a glyph's side bearing
        // reach a fraction of a pixel beyond the width.
        EXPECT_LE(shaped.naturalTextWidth(), laidOut.layout.width() + 1) << "line " << line;
    }
}

TEST(EditorLayout, CaretPositionsSkipWholeCharacters)
{
    LaidOut laidOut(40);
    laidOut.set(QString::fromUtf16(u"a\U0001D465e\u0301\u0302b"));
    const std::vector<int> forward{0, 1, 3, 6, 7};
    int position = 0;
    for (std::size_t i = 1; i < forward.size(); ++i) {
        position = laidOut.layout.nextCursorPosition(position);
        EXPECT_EQ(position, forward[i]);
    }
    EXPECT_EQ(laidOut.layout.nextCursorPosition(7), 7);
    for (std::size_t i = forward.size() - 1; i > 0; --i) {
        EXPECT_EQ(laidOut.layout.previousCursorPosition(forward[i]), forward[i - 1]);
    }
    EXPECT_EQ(laidOut.layout.previousCursorPosition(0), 0);
}

TEST(EditorLayout, WordMovesGoOverWordsPunctuationAndBlanks)
{
    struct Row {
        int from;
        int next;
        int previous;
    };
    //                0123456789012345678
    const QString text = QStringLiteral("sin(30) + x1;\nab  ");
    const Row rows[] = {
        {0, 3, 0},   {3, 4, 0},    {4, 6, 3},    {6, 8, 4},    {8, 10, 6},
        {10, 12, 8}, {12, 13, 10}, {13, 14, 12}, {14, 18, 13}, {18, 18, 14},
    };
    LaidOut laidOut(40);
    laidOut.set(text);
    for (const Row& row : rows) {
        EXPECT_EQ(laidOut.layout.nextWordPosition(row.from), row.next) << "from " << row.from;
        EXPECT_EQ(laidOut.layout.previousWordPosition(row.from), row.previous) << "from " << row.from;
    }
    EXPECT_EQ(laidOut.layout.wordAt(1), (CTextRange{0, 3}));
    EXPECT_EQ(laidOut.layout.wordAt(3), (CTextRange{0, 3}));  // at a word's end: that word
    EXPECT_EQ(laidOut.layout.wordAt(7), (CTextRange{7, 8}));
    EXPECT_EQ(laidOut.layout.wordAt(11), (CTextRange{10, 12}));
}

// The property the whole design rests on: after any edit, the lines are those
// a layout of the whole new text has.
TEST(EditorLayout, AnEditLaysOutWhatTheWholeTextWould)
{
    const QString pieces[] = {
        QStringLiteral("1+2;"),
        QStringLiteral("sin(30) "),
        QStringLiteral(" "),
        QStringLiteral("   "),
        QStringLiteral("\n"),
        QStringLiteral("\t"),
        QStringLiteral("word"),
        QString(37, u'7'),
        QString::fromUtf16(u"\U0001F600"),
        QString::fromUtf16(u"e\u0301"),
        QString::fromUtf16(u"\u0645\u0631\u062d\u0628\u0627 "),
        QStringLiteral("(("),
        QStringLiteral("x->Mem[a]"),
        QString(90, u'w') + u' ',
    };
    std::mt19937 random(20240611);
    for (const qreal columns : {7.0, 23.5, 61.0, 150.0}) {
        LaidOut edited(columns);
        for (int step = 0; step < 400; ++step) {
            const int size = static_cast<int>(edited.text.size());
            const int position = std::uniform_int_distribution<int>(0, size)(random);
            const int kind = std::uniform_int_distribution<int>(0, 9)(random);
            const int length =
                kind < 3 ? std::uniform_int_distribution<int>(0, std::min(30, size - position))(random) : 0;
            const QString inserted = kind < 2 ? QString() : pieces[random() % std::size(pieces)];
            edited.replace(position, length, inserted);

            LaidOut whole(columns);
            whole.set(edited.text);
            ASSERT_EQ(edited.starts(), whole.starts())
                << "step " << step << " at " << position << ", " << length << " replaced by \""
                << inserted.toStdString() << "\" in \"" << edited.text.toStdString() << "\"";
        }
    }
}

TEST(EditorLayout, AWordThatShrinksMovesUpToTheLineBefore)
{
    LaidOut laidOut(200);
    const QString first(101, u'a');
    const QString word(100, u'b');
    laidOut.set(first + u' ' + word);
    ASSERT_EQ(laidOut.starts(), (std::vector<int>{0, 102}));
    // Far behind the start of its line, the word loses two characters and
    // now fits behind the first one.
    laidOut.replace(102 + 80, 2, QString());
    EXPECT_EQ(laidOut.starts(), (std::vector<int>{0}));
}

TEST(EditorLayout, AnyReplacementKeepsTheLayoutWhole)
{
    LaidOut laidOut(9);
    laidOut.set(QStringLiteral("aaa bbb ccc\nddd eee fff"));
    // A change the layout was not told of in order: it starts afresh.
    laidOut.text = QStringLiteral("x");
    laidOut.layout.textChanged(5, 1, 40);
    EXPECT_EQ(laidOut.starts(), (std::vector<int>{0}));
    laidOut.layout.textChanged(-3, 0, 0);
    EXPECT_EQ(laidOut.layout.lineEnd(0), 1);
}

}  // namespace
