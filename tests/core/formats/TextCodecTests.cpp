#include "core/formats/TextCodec.h"

#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

struct DecodeRow {
    const char* Label;
    std::string Bytes;
    std::u16string Text;
};

void PrintTo(const DecodeRow& row, std::ostream* out)
{
    *out << row.Label;
}

class CalculationFileDecoding : public testing::TestWithParam<DecodeRow> {};

TEST_P(CalculationFileDecoding, ReadsLittleEndianUnits)
{
    EXPECT_EQ(Tevra::DecodeCalculationFile(GetParam().Bytes), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(Bytes, CalculationFileDecoding,
                         testing::Values(DecodeRow{"Empty", "", u""}, DecodeRow{"MarkOnly", "\xFF\xFE", u""},
                                         DecodeRow{"MarkAndText",
                                                   "\xFF\xFE"
                                                   "1\0+\0"
                                                   "2\0"s,
                                                   u"1+2"},
                                         DecodeRow{"WithoutMark", "1\0;\0"s, u"1;"},
                                         DecodeRow{"LastOddByteDropped",
                                                   "\xFF\xFE"
                                                   "7\0"
                                                   "8"s,
                                                   u"7"},
                                         DecodeRow{"MarkInTheMiddleDropped",
                                                   "\xFF\xFE"
                                                   "1\0\xFF\xFE"
                                                   "2\0"s,
                                                   u"12"},
                                         DecodeRow{"EndsAtFirstNul",
                                                   "1\0\0\0"
                                                   "2\0"s,
                                                   u"1"},
                                         DecodeRow{"HighByteKept",
                                                   "\x93\x03"
                                                   "5\0"s,
                                                   u"\u03935"},
                                         DecodeRow{"SurrogatesPassThrough", "\x3D\xD8\x00\xDE"s, u"\U0001F600"}),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST(CalculationFileEncoding, WritesMarkThenLittleEndianUnits)
{
    EXPECT_EQ(Tevra::EncodeCalculationFile(u""), "\xFF\xFE"s);
    EXPECT_EQ(Tevra::EncodeCalculationFile(u"1=1\r\n\u0393"),
              "\xFF\xFE"
              "1\0=\0"
              "1\0\r\0\n\0\x93\x03"s);
}

TEST(CalculationFileEncoding, DecodingReversesEncoding)
{
    const std::u16string text = u"sin(30)=0.5; // \u00e9\U0001F600\r\n2->Mem[x]";
    EXPECT_EQ(Tevra::DecodeCalculationFile(Tevra::EncodeCalculationFile(text)), text);
}

TEST(CalculationFileMark, OnlyFfFeAtTheStartCounts)
{
    EXPECT_TRUE(Tevra::HasUtf16LeMark("\xFF\xFE"));
    EXPECT_TRUE(Tevra::HasUtf16LeMark("\xFF\xFE"
                                      "1\0"s));
    EXPECT_FALSE(Tevra::HasUtf16LeMark("\xFF"));
    EXPECT_FALSE(Tevra::HasUtf16LeMark("\xFE\xFF"));
    EXPECT_FALSE(Tevra::HasUtf16LeMark("\xEF\xBB\xBF"
                                       "1"));
    EXPECT_FALSE(Tevra::HasUtf16LeMark(""));
}

struct Utf8Row {
    const char* Label;
    std::string Bytes;
    std::u16string Text;
    bool Valid;
};

void PrintTo(const Utf8Row& row, std::ostream* out)
{
    *out << row.Label;
}

class Utf8Decoding : public testing::TestWithParam<Utf8Row> {};

TEST_P(Utf8Decoding, DecodesOrReplacesEachMalformedSequence)
{
    bool valid = !GetParam().Valid;
    EXPECT_EQ(Tevra::Utf8ToUtf16(GetParam().Bytes, &valid), GetParam().Text);
    EXPECT_EQ(valid, GetParam().Valid);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8Decoding,
    testing::Values(Utf8Row{"Ascii", "2+3=5", u"2+3=5", true}, Utf8Row{"Empty", "", u"", true},
                    Utf8Row{"TwoBytes", "\xC3\xA9", u"\u00e9", true},
                    Utf8Row{"ThreeBytes", "\xCE\x93(5)", u"\u0393(5)", true},
                    Utf8Row{"FourBytesBecomeASurrogatePair", "\xF0\x9F\x98\x80", u"\U0001F600", true},
                    Utf8Row{"LargestCodePoint", "\xF4\x8F\xBF\xBF", u"\U0010FFFF", true},
                    Utf8Row{"NulKept",
                            "1\0"
                            "2"s,
                            u"1\0"
                            "2"s,
                            true},
                    Utf8Row{"LoneContinuation",
                            "a\x80"
                            "b",
                            u"a\uFFFDb", false},
                    Utf8Row{"OverlongTwoBytes", "\xC0\xAF", u"\uFFFD\uFFFD", false},
                    Utf8Row{"OverlongThreeBytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD", false},
                    Utf8Row{"EncodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},
                    Utf8Row{"BeyondUnicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", false},
                    Utf8Row{"TruncatedAtEnd", "1\xE2\x82", u"1\uFFFD", false},
                    Utf8Row{"TruncatedBeforeAscii",
                            "\xE2\x82"
                            "1",
                            u"\uFFFD1", false},
                    Utf8Row{"InvalidLeadByte",
                            "\xFF"
                            "1",
                            u"\uFFFD1", false},
                    Utf8Row{"Utf16MarkIsNotUtf8", "\xFF\xFE", u"\uFFFD\uFFFD", false}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST(Utf8Encoding, WritesEveryPlaneAndReplacesUnpairedSurrogates)
{
    EXPECT_EQ(Tevra::Utf16ToUtf8(u"a\u00e9\u0393\U0001F600"), "a\xC3\xA9\xCE\x93\xF0\x9F\x98\x80");
    EXPECT_EQ(Tevra::Utf16ToUtf8(std::u16string(1, char16_t(0xD83D)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Tevra::Utf16ToUtf8(std::u16string(1, char16_t(0xDE00))), "\xEF\xBF\xBD");
}

TEST(Utf8Encoding, DecodingReversesEncoding)
{
    const std::u16string text = u"\u0393(5)=24 // caf\u00e9 \U0001F600";
    bool valid = false;
    EXPECT_EQ(Tevra::Utf8ToUtf16(Tevra::Utf16ToUtf8(text), &valid), text);
    EXPECT_TRUE(valid);
}

}  // namespace
