// The one rule by which every reader decides a file's encoding, and the way
// back to the same bytes.
#include "core/formats/FileEncoding.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using Tevra::FileEncoding;

struct Row {
    const char* Label;
    std::string Bytes;
    FileEncoding Encoding;
    std::u16string Text;
    std::string Tail;
};

const std::vector<Row>& Rows()
{
    static const std::vector<Row> rows = {
        {"empty", "", FileEncoding::ProgramFormat, u"", ""},
        {"program format",
         "\xFF\xFE"
         "1\0+\0"
         "2\0"s,
         FileEncoding::ProgramFormat, u"1+2", ""},
        {"program format, odd last byte",
         "\xFF\xFE"
         "7\0"
         "8"s,
         FileEncoding::ProgramFormat, u"7", "8"},
        {"program format, text after a NUL",
         "\xFF\xFE"
         "1\0\0\0"
         "2\0"s,
         FileEncoding::ProgramFormat, u"1",
         "\0\0"
         "2\0"s},
        {"UTF-16 big-endian with its mark",
         "\xFE\xFF\0"
         "1\0+\x03\x93\0"
         "2"s,
         FileEncoding::Utf16BeWithMark, u"1+\u03932", ""},
        {"UTF-16 big-endian, odd last byte and text after a NUL",
         "\xFE\xFF\0"
         "7\0\0\0"
         "8\0"s,
         FileEncoding::Utf16BeWithMark, u"7",
         "\0\0\0"
         "8\0"s},
        {"ASCII", "1+1;\n2*3\n", FileEncoding::Utf8, u"1+1;\n2*3\n", ""},
        {"UTF-8",
         "\xCE\x93(5)\xC3\x97"
         "2",
         FileEncoding::Utf8, u"\u0393(5)\u00D72", ""},
        {"UTF-8 with its mark",
         "\xEF\xBB\xBF"
         "2^10",
         FileEncoding::Utf8WithMark, u"2^10", ""},
        {"UTF-16 without its mark", "1\0;\0"s, FileEncoding::Utf16Le, u"1;", ""},
        {"UTF-8 with a NUL is UTF-16",
         "12\0\0"
         "3"s,
         FileEncoding::Utf16Le, u"\u3231",
         "\0\0"
         "3"s},
        {"Latin-1", "caf\xE9 1+1", FileEncoding::Unrecognised, u"\u6163\uE966\u3120\u312B", ""},
    };
    return rows;
}

TEST(FileEncodingRule, DecidesAndDecodes)
{
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.Label);
        EXPECT_EQ(Tevra::DetectFileEncoding(row.Bytes), row.Encoding);
        const Tevra::FileText file = Tevra::DecodeFileText(row.Bytes);
        EXPECT_EQ(file.Encoding, row.Encoding);
        EXPECT_EQ(file.Text, row.Text);
        EXPECT_EQ(file.Tail, row.Tail);
    }
}

// Text and tail written back in the encoding they were read in are the bytes
// that were read, whatever the encoding.
TEST(FileEncodingRule, WritingBackGivesTheSameBytes)
{
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.Label);
        if (row.Bytes.empty())
            continue;  // the program's format always starts with its mark
        const Tevra::FileText file = Tevra::DecodeFileText(row.Bytes);
        EXPECT_EQ(Tevra::EncodeFileText(file.Text, file.Encoding) + file.Tail, row.Bytes);
    }
}

// A file of just its text (its tail given up, or never there) reads back as
// the same text, and keeps its encoding wherever that encoding can say so.
TEST(FileEncodingRule, AWholeFileReadsBackAsTheSameText)
{
    struct Case {
        const char* Label;
        std::u16string Text;
        FileEncoding Read;
        FileEncoding Written;
    };
    const Case cases[] = {
        {"UTF-16 holding a NUL byte stays", u"1;", FileEncoding::Utf16Le, FileEncoding::Utf16Le},
        {"UTF-16 whose bytes are UTF-8 gets the mark", u"\u3231", FileEncoding::Utf16Le, FileEncoding::ProgramFormat},
        {"unrecognised whose bytes are UTF-8 gets the mark", u"\u6d75\u2874", FileEncoding::Unrecognised,
         FileEncoding::ProgramFormat},
        {"unrecognised bytes that stay unrecognised", u"\u6163\uE966\u3120\u312B", FileEncoding::Unrecognised,
         FileEncoding::Unrecognised},
        {"UTF-8 stays", u"\u00D72", FileEncoding::Utf8, FileEncoding::Utf8},
        {"the program's format stays", u"1+2", FileEncoding::ProgramFormat, FileEncoding::ProgramFormat},
        {"UTF-16 big-endian stays", u"\u00D72", FileEncoding::Utf16BeWithMark, FileEncoding::Utf16BeWithMark},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        const std::string bytes = Tevra::EncodeWholeFileText(c.Text, c.Read);
        const Tevra::FileText back = Tevra::DecodeFileText(bytes);
        EXPECT_EQ(back.Text, c.Text);
        EXPECT_TRUE(back.Tail.empty());
        EXPECT_EQ(back.Encoding, c.Written);
    }
}

TEST(FileEncodingRule, EveryEncodingWritesItsOwnMark)
{
    EXPECT_EQ(Tevra::EncodeFileText(u"1", FileEncoding::ProgramFormat),
              "\xFF\xFE"
              "1\0"s);
    EXPECT_EQ(Tevra::EncodeFileText(u"\u00D7", FileEncoding::Utf8), "\xC3\x97");
    EXPECT_EQ(Tevra::EncodeFileText(u"1", FileEncoding::Utf8WithMark),
              "\xEF\xBB\xBF"
              "1");
    EXPECT_EQ(Tevra::EncodeFileText(u"1", FileEncoding::Utf16Le), "1\0"s);
    EXPECT_EQ(Tevra::EncodeFileText(u"\u00D71", FileEncoding::Utf16BeWithMark),
              "\xFE\xFF\0\xD7\0"
              "1"s);
}

}  // namespace
