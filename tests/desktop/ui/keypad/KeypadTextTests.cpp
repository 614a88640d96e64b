// What every keypad button sends and shows, for the preferences that matter:
// the notable cases one by one, then a sweep over every combination of the
// preferences compared with an expectation written out here on its own.
#include "desktop/services/QtText.h"
#include "desktop/ui/keypad/KeypadButtons.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>

namespace {

using Tevra::CCalcSettings;

std::string Utf8(const std::u16string& text)
{
    return Tevra::ToQString(text).toStdString();
}

const Keypad::Button& ButtonOf(int id)
{
    const Keypad::Button* button = Keypad::FindButton(id);
    EXPECT_NE(button, nullptr) << id;
    static const Keypad::Button none{};
    return button ? *button : none;
}

std::u16string Sent(int id, const CCalcSettings& settings)
{
    return Keypad::WhatItSends(ButtonOf(id), settings, settings.Notation).Text;
}

std::u16string Shown(int id, const CCalcSettings& settings)
{
    return Keypad::Caption(ButtonOf(id), Keypad::CaptionStateOf(settings));
}

struct CaseRow {
    const char* name;
    void (*prepare)(CCalcSettings&);
    int id;
    std::u16string_view shown;
    std::u16string_view sent;
};

const CaseRow CaseRows[] = {
    {"defaults: tg shows and sends the West name", [](CCalcSettings&) {}, 1029, u"tan", u"tan("},
    {"East, Upper, curly bracket",
     [](CCalcSettings& s) {
         s.Notation = 1;
         s.NotationCase = 1;
         s.AppendFunctionWith = 2;
     },
     1031, u"SH", u"SH{"},
    {"power without function brackets",
     [](CCalcSettings& s) {
         s.AppendFunction = 0;
         s.AppendIncludePower = 1;
     },
     1039, u"^", u"^"},
    {"power with brackets but not for the power", [](CCalcSettings& s) { s.AppendIncludePower = 0; }, 1039, u"^", u"^"},
    {"power with its bracket", [](CCalcSettings& s) { s.AppendFunctionWith = 1; }, 1039, u"^", u"^["},
    {"gamma instead of factorial", [](CCalcSettings& s) { s.GammaFunction = 1; }, 1036, u"\u0393", u"\u0393("},
    {"factorial", [](CCalcSettings&) {}, 1036, u"n!", u"!"},
    {"memory spelt Memory with round bracket",
     [](CCalcSettings& s) {
         s.FormatMemory = 3;
         s.AppendMemoryWith = 0;
     },
     1070, u"Mem", u"Memory("},
    {"store into Memory",
     [](CCalcSettings& s) {
         s.FormatMemory = 3;
         s.AppendMemoryWith = 0;
     },
     1069, u"->", u"->Memory("},
    {"result keyword RESULT has no bracket", [](CCalcSettings& s) { s.FormatResult = 5; }, 1061, u"Rslt", u"RESULT"},
    {"upper case leaves keywords alone",
     [](CCalcSettings& s) {
         s.NotationCase = 1;
         s.FormatRandom = 1;
     },
     1129, u"Rand", u"rand"},
    {"upper case leaves the sum sign alone", [](CCalcSettings& s) { s.NotationCase = 1; }, 1127, u"\u2211", u"\u2211("},
    {"upper case leaves pi alone", [](CCalcSettings& s) { s.NotationCase = 1; }, 1048, u"\u03C0", u"\u03C0"},
    {"upper case leaves the times sign alone", [](CCalcSettings& s) { s.NotationCase = 1; }, 1016, u"\u00D7",
     u"\u00D7"},
    {"upper case leaves gamma alone",
     [](CCalcSettings& s) {
         s.NotationCase = 1;
         s.GammaFunction = 1;
     },
     1036, u"\u0393", u"\u0393("},
    {"upper case leaves e alone", [](CCalcSettings& s) { s.NotationCase = 1; }, 1049, u"e", u"e"},
    {"decimal point in East upper case",
     [](CCalcSettings& s) {
         s.Notation = 1;
         s.NotationCase = 1;
     },
     1026, u".", u"."},
    {"decimal point without brackets", [](CCalcSettings& s) { s.AppendFunctionWith = 2; }, 1026, u".", u"."},
    {"Bessel J upper", [](CCalcSettings& s) { s.NotationCase = 1; }, 1124, u"J", u"J("},
    {"Enter breaks the line", [](CCalcSettings&) {}, 1063, u"Enter", u"\r\n"},
    {"; enter ends the statement and the line", [](CCalcSettings&) {}, 1071, u"; enter", u";\r\n"},
    {"a function bracket index out of range is round", [](CCalcSettings& s) { s.AppendFunctionWith = 7; }, 1038, u"ln",
     u"ln("},
    {"a memory bracket index out of range is square", [](CCalcSettings& s) { s.AppendMemoryWith = 7; }, 1070, u"Mem",
     u"Mem["},
    {"a notation out of range shows and sends the East names", [](CCalcSettings& s) { s.Notation = 5; }, 1029, u"tg",
     u"tg("},
    {"West upper arcoth", [](CCalcSettings& s) { s.NotationCase = 1; }, 1047, u"ARCOTH", u"ARCOTH("},
};

TEST(KeypadText, NotableCasesShowAndSendTheirText)
{
    for (const CaseRow& row : CaseRows) {
        SCOPED_TRACE(row.name);
        CCalcSettings settings;
        row.prepare(settings);
        EXPECT_EQ(Utf8(Shown(row.id, settings)), Utf8(std::u16string(row.shown)));
        EXPECT_EQ(Utf8(Sent(row.id, settings)), Utf8(std::u16string(row.sent)));
    }
}

TEST(KeypadText, CommandButtonsSendTheirCodesAndNoText)
{
    const std::map<int, std::uint32_t> codes = {{1051, 0}, {1050, 1}, {1001, 2}, {1062, 3}, {1068, 4}};
    for (const auto& [id, code] : codes) {
        const Keypad::Press press = Keypad::WhatItSends(ButtonOf(id), CCalcSettings{}, 0);
        ASSERT_TRUE(press.Command.has_value()) << id;
        EXPECT_EQ(*press.Command, code) << id;
        EXPECT_TRUE(press.Text.empty()) << id;
    }
}

// The expectation, written out from the button list and not from the code's
// tables: the function names by id, the keyword spellings, the brackets.
struct NameRow {
    int id;
    std::u16string_view west;
    std::u16string_view east;
};
constexpr NameRow ExpectedNames[] = {
    {1029, u"tan", u"tg"},        {1030, u"cot", u"ctg"},       {1053, u"csc", u"cosec"},
    {1042, u"arctan", u"arctg"},  {1043, u"arccot", u"arcctg"}, {1056, u"arccsc", u"arccosec"},
    {1031, u"sinh", u"sh"},       {1032, u"cosh", u"ch"},       {1033, u"tanh", u"th"},
    {1034, u"coth", u"cth"},      {1044, u"arsinh", u"arsh"},   {1045, u"arcosh", u"arch"},
    {1046, u"artanh", u"arth"},   {1047, u"arcoth", u"arcth"},  {1059, u"arsech", u"arsch"},
    {1037, u"log", u"lg"},        {1028, u"sin", u"sin"},       {1027, u"cos", u"cos"},
    {1052, u"sec", u"sec"},       {1055, u"csch", u"csch"},     {1054, u"sech", u"sech"},
    {1035, u"exp", u"exp"},       {1038, u"ln", u"ln"},         {1060, u"abs", u"abs"},
    {1040, u"arcsin", u"arcsin"}, {1041, u"arccos", u"arccos"}, {1057, u"arcsec", u"arcsec"},
    {1058, u"arcsch", u"arcsch"}, {1124, u"J", u"J"},           {1125, u"Y", u"Y"},
    {1126, u"sign", u"sign"},
};
constexpr std::array<std::u16string_view, 6> Results = {u"Rslt", u"rslt", u"RSLT", u"Result", u"result", u"RESULT"};
constexpr std::array<std::u16string_view, 6> Memories = {u"Mem", u"mem", u"MEM", u"Memory", u"memory", u"MEMORY"};
constexpr std::array<std::u16string_view, 6> Randoms = {u"Rand", u"rand", u"RAND", u"Random", u"random", u"RANDOM"};

const std::map<int, std::u16string_view>& FixedTexts()
{
    static const std::map<int, std::u16string_view> texts = {
        {1048, u"\u03C0"}, {1049, u"e"},      {1020, u"("},    {1021, u")"},     {1022, u"["}, {1023, u"]"},
        {1024, u"{"},      {1025, u"}"},      {1065, u"/*"},   {1066, u"*/"},    {1018, u"+"}, {1019, u"-"},
        {1016, u"\u00D7"}, {1017, u"\u00F7"}, {1006, u"0"},    {1007, u"1"},     {1008, u"2"}, {1009, u"3"},
        {1010, u"4"},      {1011, u"5"},      {1012, u"6"},    {1013, u"7"},     {1014, u"8"}, {1015, u"9"},
        {1026, u"."},      {1064, u";"},      {1063, u"\r\n"}, {1071, u";\r\n"},
    };
    return texts;
}
const std::set<int> CommandIds = {1051, 1050, 1001, 1062, 1068};

std::u16string Upper(std::u16string_view text)
{
    std::u16string upper(text);
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 32);
    }
    return upper;
}

// What the button of id must send, or nothing for a command button.
std::optional<std::u16string> Expected(int id, const CCalcSettings& s)
{
    const std::u16string function = !s.AppendFunction ? u""
        : s.AppendFunctionWith == 1                   ? u"["
        : s.AppendFunctionWith == 2                   ? u"{"
                                                      : u"(";
    const std::u16string memory = !s.AppendMemory ? u""
        : s.AppendMemoryWith == 0                 ? u"("
        : s.AppendMemoryWith == 2                 ? u"{"
                                                  : u"[";
    for (const NameRow& row : ExpectedNames) {
        if (row.id == id) {
            const std::u16string_view name = s.Notation == 0 ? row.west : row.east;
            return (s.NotationCase == 1 ? Upper(name) : std::u16string(name)) + function;
        }
    }
    if (const auto fixed = FixedTexts().find(id); fixed != FixedTexts().end())
        return std::u16string(fixed->second);
    switch (id) {
    case 1039:
        return u"^" + (s.AppendIncludePower ? function : u"");
    case 1036:
        return s.GammaFunction ? u"\u0393" + function : u"!";
    case 1127:
        return u"\u2211" + function;
    case 1128:
        return u"\u220F" + function;
    case 1129:
        return std::u16string(Randoms[s.FormatRandom]);
    case 1061:
        return std::u16string(Results[s.FormatResult]);
    case 1070:
        return std::u16string(Memories[s.FormatMemory]) + memory;
    case 1069:
        return u"->" + std::u16string(Memories[s.FormatMemory]) + memory;
    default:
        return std::nullopt;
    }
}

TEST(KeypadText, EveryButtonSendsItsTextForEveryCombinationOfPreferences)
{
    std::set<int> ids;
    for (const Keypad::Button& button : Keypad::Buttons())
        ids.insert(button.Id);
    ASSERT_EQ(ids.size(), 72u) << "72 buttons with distinct ids";
    for (const int id : ids)
        ASSERT_TRUE(Expected(id, CCalcSettings{}) || CommandIds.count(id)) << "no expectation for " << id;

    int failures = 0;
    long checked = 0;
    CCalcSettings s;
    // Every switch both ways and every bracket (one past the range too); the
    // three keyword spellings turn together, each through all six.
    for (s.Notation = 0; s.Notation <= 1; ++s.Notation)
        for (s.NotationCase = 0; s.NotationCase <= 1; ++s.NotationCase)
            for (s.AppendFunction = 0; s.AppendFunction <= 1; ++s.AppendFunction)
                for (s.AppendFunctionWith = 0; s.AppendFunctionWith <= 3; ++s.AppendFunctionWith)
                    for (s.AppendMemory = 0; s.AppendMemory <= 1; ++s.AppendMemory)
                        for (s.AppendMemoryWith = 0; s.AppendMemoryWith <= 3; ++s.AppendMemoryWith)
                            for (s.AppendIncludePower = 0; s.AppendIncludePower <= 1; ++s.AppendIncludePower)
                                for (s.GammaFunction = 0; s.GammaFunction <= 1; ++s.GammaFunction)
                                    for (std::uint32_t format = 0; format < 6; ++format) {
                                        s.FormatMemory = format;
                                        s.FormatRandom = (format + 1) % 6;
                                        s.FormatResult = (format + 2) % 6;
                                        for (const Keypad::Button& button : Keypad::Buttons()) {
                                            const Keypad::Press press = Keypad::WhatItSends(button, s, s.Notation);
                                            const auto expected = Expected(button.Id, s);
                                            ++checked;
                                            const bool same = expected ? !press.Command && press.Text == *expected
                                                                       : press.Command.has_value();
                                            if (!same && ++failures <= 10)
                                                ADD_FAILURE()
                                                    << "button " << button.Id << " sent \"" << Utf8(press.Text)
                                                    << "\", expected \"" << (expected ? Utf8(*expected) : "a command")
                                                    << "\" (notation " << s.Notation << ", case " << s.NotationCase
                                                    << ", function bracket " << s.AppendFunction << "/"
                                                    << s.AppendFunctionWith << ", memory bracket " << s.AppendMemory
                                                    << "/" << s.AppendMemoryWith << ", power " << s.AppendIncludePower
                                                    << ", gamma " << s.GammaFunction << ", formats " << format << ")";
                                        }
                                    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(checked, 2L * 2 * 2 * 4 * 2 * 4 * 2 * 2 * 6 * 72);
}

TEST(KeypadText, TheTemplateCaptionsAreTheEastNamesInLowerCase)
{
    // The captions a fresh panel shows before the first refresh.
    const Keypad::CaptionState fresh;
    for (const NameRow& row : ExpectedNames) {
        EXPECT_EQ(Utf8(std::u16string(ButtonOf(row.id).TemplateCaption)), Utf8(std::u16string(row.east))) << row.id;
        EXPECT_EQ(Utf8(Keypad::Caption(ButtonOf(row.id), fresh)), Utf8(std::u16string(row.east))) << row.id;
    }
    // The signs and the decimal point replace their template captions.
    const std::map<int, std::u16string_view> replaced = {{1016, u"\u00D7"}, {1017, u"\u00F7"}, {1048, u"\u03C0"},
                                                         {1127, u"\u2211"}, {1128, u"\u220F"}, {1026, u"."}};
    for (const auto& [id, caption] : replaced)
        EXPECT_EQ(Utf8(Keypad::Caption(ButtonOf(id), fresh)), Utf8(std::u16string(caption))) << id;
}

TEST(KeypadText, ColourGroupsHoldTheirButtons)
{
    std::map<Keypad::ColourGroup, int> counts;
    for (const Keypad::Button& button : Keypad::Buttons())
        ++counts[button.Group];
    EXPECT_EQ(counts[Keypad::ColourGroup::Function], 46);
    EXPECT_EQ(counts[Keypad::ColourGroup::Digit], 13);
    EXPECT_EQ(counts[Keypad::ColourGroup::Service], 13);
    // A few that are easy to get wrong: the operators are function keys, the
    // semicolon in the digit block is a service key, pi and e are digits.
    const std::map<int, Keypad::ColourGroup> samples = {
        {1018, Keypad::ColourGroup::Function}, {1016, Keypad::ColourGroup::Function},
        {1064, Keypad::ColourGroup::Service},  {1065, Keypad::ColourGroup::Service},
        {1048, Keypad::ColourGroup::Digit},    {1026, Keypad::ColourGroup::Digit},
        {1129, Keypad::ColourGroup::Function}, {1061, Keypad::ColourGroup::Service}};
    for (const auto& [id, group] : samples)
        EXPECT_EQ(ButtonOf(id).Group, group) << id;
}

TEST(KeypadText, HelpContextsAndDescriptions)
{
    EXPECT_EQ(Keypad::HelpContext(1001), 0x806603E9u);
    EXPECT_EQ(Keypad::HelpContext(1129), 0x80660469u);
    for (const Keypad::Button& button : Keypad::Buttons())
        EXPECT_FALSE(Keypad::Description(button).empty()) << button.Id;
    EXPECT_EQ(Keypad::Description(ButtonOf(1029)),
              "Inserts the function name tan (West notation) or tg (East notation), in the letter case of the "
              "preferences, followed by the function bracket.");
    EXPECT_EQ(Keypad::Description(ButtonOf(1063)), "Inserts a line break.");
    EXPECT_EQ(Keypad::Description(ButtonOf(1071)), "Inserts ; and a line break.");
    CCalcSettings settings;
    EXPECT_EQ(Utf8(Keypad::CurrentDescription(ButtonOf(1029), settings, 0)), "Inserts tan(");
    EXPECT_EQ(Utf8(Keypad::CurrentDescription(ButtonOf(1001), settings, 0)),
              "Calculates the statement at the caret, as Ctrl+= does.");
}

}  // namespace
