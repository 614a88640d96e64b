// The bytes of a calculation file and the editor's text: UTF-16LE with a
// byte-order mark and CR LF on disk, "\n" in the editor.
#include "core/files/CCalcFileText.h"

#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (const int value : values)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

// UTF-16LE bytes of an ASCII text.
std::string Utf16(const char* text)
{
    std::string bytes;
    for (const char* c = text; *c; ++c) {
        bytes.push_back(*c);
        bytes.push_back('\0');
    }
    return bytes;
}

const std::string Bom = Bytes({0xFF, 0xFE});

TEST(CalculationFileText, ReadingFollowsTheFileRules)
{
    struct Row {
        const char* name;
        std::string bytes;
        std::u16string expected;
    };
    const Row rows[] = {
        {"CR LF becomes a line break", Bom + Utf16("1+1;\r\n2"), u"1+1;\n2"},
        {"a lone CR is a line break too", Bom + Utf16("1\r2"), u"1\n2"},
        {"a byte-order mark in the middle is dropped", Bom + Utf16("1") + Bom + Utf16("2"), u"12"},
        {"the text ends at the first NUL", Bom + Utf16("12") + Bytes({0, 0}) + Utf16("34"), u"12"},
        {"an odd last byte is not part of the text", Bom + Utf16("5") + Bytes({'6'}), u"5"},
        {"no mark at all reads the same", Utf16("7"), u"7"},
        {"empty file", std::string(), u""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Tevra::EditorFileFromBytes(row.bytes).Text, row.expected) << row.name;
}

TEST(CalculationFileText, WritingAddsTheMarkAndCrLf)
{
    EXPECT_EQ(Tevra::FileBytesFromEditorText(u"1;\n2"), Bom + Utf16("1;\r\n2"));
    EXPECT_EQ(Tevra::FileBytesFromEditorText(u"").size(), 2u);
}

}  // namespace
