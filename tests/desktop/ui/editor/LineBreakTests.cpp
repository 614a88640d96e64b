// Where the editor may wrap a line: each row is a text with "¦" at every
// place a line may start (the ends are not marked).
#include <QString>

#include <gtest/gtest.h>

#include <vector>

#include "desktop/ui/editor/LineBreaks.h"

namespace {

const QChar Mark(0x00A6);

// The text without its marks, and the flags the marks stand for.
struct Expected {
    QString text;
    std::vector<bool> breaks;
};

Expected Decode(const QString& marked)
{
    Expected expected;
    expected.breaks.push_back(true);
    for (QChar c : marked) {
        if (c == Mark) {
            expected.breaks.back() = true;
            continue;
        }
        expected.text += c;
        expected.breaks.push_back(false);
    }
    expected.breaks.back() = true;
    return expected;
}

QString Encode(const QString& text, const std::vector<bool>& breaks)
{
    QString marked;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i > 0 && breaks[static_cast<std::size_t>(i)])
            marked += Mark;
        marked += text[i];
    }
    return marked;
}

TEST(LineBreaks, PlacesWhereALineMayStart)
{
    struct Row {
        const char* name;
        const char16_t* marked;
    };
    const Row rows[] = {
        {"a result stays whole behind its =", u"sqrt(3)=¦1.7320508075688771932"},
        {"a number is never split", u"12345678901234567890"},
        {"digits grouped by blanks are one number", u"1 000 000+¦2 ¦x ¦1"},
        {"a decimal point belongs to its number", u"x=¦.5+¦2.e3"},
        {"an exponent's sign belongs to its number", u"1.5e+3*¦2e-7/¦3E\u22125"},
        {"a name is never split", u"Mem_total1+¦sinh(x)"},
        {"blanks end a word", u"a ¦+ ¦b ; ¦c"},
        {"after separators and binary operators", u"1+¦2;¦3-¦4,¦5*¦6/¦7^¦8"},
        {"a sign in front of an operand stays with it", u"x=¦-5;¦y=¦(-2)*¦-3"},
        {"-> stays whole", u"3*¦4->¦Mem[a]"},
        {"-> stays whole after a blank", u"3 ¦-> ¦Mem[a]"},
        {"a comment may start a line, its marks whole", u"1;¦//note"},
        {"a comment after a blank", u"1 ¦// ¦note"},
        {"a block comment's marks stay whole", u"/*c*/¦2"},
        {"comparison symbols stay whole", u"a<=¦b;¦c>=¦d;¦e!=¦f"},
        {"no line starts with a closing bracket or a separator", u"f(a,¦b);¦g[1]"},
        {"no line ends with an opening bracket", u"((1))"},
        {"a factorial stays with its operand", u"5!+¦3!"},
        {"a letter of another script is part of a name", u"2*¦\u03c0r"},
        {"a run without any place stays one", u"abc.def"},
        {"an empty text", u""},
    };
    for (const Row& row : rows) {
        const Expected expected = Decode(QString::fromUtf16(row.marked));
        const std::vector<bool> breaks = Tevra::LineBreakOpportunities(expected.text);
        ASSERT_EQ(breaks.size(), expected.breaks.size()) << row.name;
        EXPECT_EQ(Encode(expected.text, breaks).toStdString(), Encode(expected.text, expected.breaks).toStdString())
            << row.name;
    }
}

}  // namespace
