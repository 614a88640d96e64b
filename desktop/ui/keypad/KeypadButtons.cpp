#include "desktop/ui/keypad/KeypadButtons.h"

#include "desktop/ui/CCalcCmdReceiver.h"

#include <algorithm>
#include <array>

namespace Keypad {

namespace {

using enum ColourGroup;
using enum Sends;
using enum Block;

// clang-format off
constexpr auto FunctionNameTable = std::to_array<Keypad::FunctionName>({
    {1029, u"tan", u"tg"},        {1030, u"cot", u"ctg"},        {1053, u"csc", u"cosec"},
    {1042, u"arctan", u"arctg"},  {1043, u"arccot", u"arcctg"},  {1056, u"arccsc", u"arccosec"},
    {1031, u"sinh", u"sh"},       {1032, u"cosh", u"ch"},        {1033, u"tanh", u"th"},
    {1034, u"coth", u"cth"},      {1044, u"arsinh", u"arsh"},    {1045, u"arcosh", u"arch"},
    {1046, u"artanh", u"arth"},   {1047, u"arcoth", u"arcth"},   {1059, u"arsech", u"arsch"},
    {1037, u"log", u"lg"},        {1026, u".", u"."},            {1028, u"sin", u"sin"},
    {1027, u"cos", u"cos"},       {1052, u"sec", u"sec"},        {1055, u"csch", u"csch"},
    {1054, u"sech", u"sech"},     {1035, u"exp", u"exp"},        {1038, u"ln", u"ln"},
    {1060, u"abs", u"abs"},       {1040, u"arcsin", u"arcsin"},  {1041, u"arccos", u"arccos"},
    {1057, u"arcsec", u"arcsec"}, {1058, u"arcsch", u"arcsch"},  {1124, u"J", u"J"},
    {1125, u"Y", u"Y"},           {1126, u"sign", u"sign"},
});

// A button that inserts its function name, a fixed text, or sends a command.
constexpr Button Named(int id, std::u16string_view caption, Block place, int row, int column)
{
    return {id, caption, {}, Function, Name, {}, 0, place, row, column};
}
constexpr Button Insert(int id, std::u16string_view caption, std::u16string_view shown, ColourGroup group,
                        std::u16string_view text, Block place, int row, int column)
{
    return {id, caption, shown, group, Text, text, 0, place, row, column};
}
constexpr Button Build(int id, std::u16string_view caption, std::u16string_view shown, ColourGroup group,
                       Sends kind, Block place, int row, int column)
{
    return {id, caption, shown, group, kind, {}, 0, place, row, column};
}
constexpr Button Send(int id, std::u16string_view caption, std::uint32_t code, Block place, int row, int column)
{
    return {id, caption, {}, Service, Command, {}, code, place, row, column};
}

constexpr auto ButtonTable = std::to_array<Button>({
    // Function block, six rows of six.
    Named(1028, u"sin", Functions, 0, 0), Named(1053, u"cosec", Functions, 0, 1), Named(1027, u"cos", Functions, 0, 2),
    Named(1052, u"sec", Functions, 0, 3), Named(1029, u"tg", Functions, 0, 4), Named(1030, u"ctg", Functions, 0, 5),
    Named(1031, u"sh", Functions, 1, 0), Named(1055, u"csch", Functions, 1, 1), Named(1032, u"ch", Functions, 1, 2),
    Named(1054, u"sech", Functions, 1, 3), Named(1033, u"th", Functions, 1, 4), Named(1034, u"cth", Functions, 1, 5),
    Named(1035, u"exp", Functions, 2, 0), Named(1038, u"ln", Functions, 2, 1), Named(1037, u"lg", Functions, 2, 2),
    Build(1039, u"^", {}, Function, Power, Functions, 2, 3), Named(1060, u"abs", Functions, 2, 4),
    Build(1036, u"n!", {}, Function, Factorial, Functions, 2, 5),
    Named(1040, u"arcsin", Functions, 3, 0), Named(1056, u"arccosec", Functions, 3, 1),
    Named(1041, u"arccos", Functions, 3, 2), Named(1057, u"arcsec", Functions, 3, 3),
    Named(1042, u"arctg", Functions, 3, 4), Named(1043, u"arcctg", Functions, 3, 5),
    Named(1044, u"arsh", Functions, 4, 0), Named(1058, u"arcsch", Functions, 4, 1), Named(1045, u"arch", Functions, 4, 2),
    Named(1059, u"arsch", Functions, 4, 3), Named(1046, u"arth", Functions, 4, 4), Named(1047, u"arcth", Functions, 4, 5),
    Named(1124, u"J", Functions, 5, 0), Named(1125, u"Y", Functions, 5, 1),
    Build(1127, u"SUM", u"\u2211", Function, Sum, Functions, 5, 2),
    Build(1128, u"PROD", u"\u220F", Function, Product, Functions, 5, 3),
    Build(1129, u"Rand", {}, Function, RandomKeyword, Functions, 5, 4), Named(1126, u"sign", Functions, 5, 5),
    // Second block: constants, brackets and comment marks, five rows of two.
    Insert(1048, u"pi", u"\u03C0", Digit, u"\u03C0", Second, 0, 0), Insert(1049, u"e", {}, Digit, u"e", Second, 0, 1),
    Insert(1020, u"(", {}, Function, u"(", Second, 1, 0), Insert(1021, u")", {}, Function, u")", Second, 1, 1),
    Insert(1022, u"[", {}, Function, u"[", Second, 2, 0), Insert(1023, u"]", {}, Function, u"]", Second, 2, 1),
    Insert(1024, u"{", {}, Function, u"{", Second, 3, 0), Insert(1025, u"}", {}, Function, u"}", Second, 3, 1),
    Insert(1065, u"/*", {}, Service, u"/*", Second, 4, 0), Insert(1066, u"*/", {}, Service, u"*/", Second, 4, 1),
    // Digit block, four rows of four.
    Insert(1018, u"+", {}, Function, u"+", Digits, 0, 0), Insert(1007, u"1", {}, Digit, u"1", Digits, 0, 1),
    Insert(1008, u"2", {}, Digit, u"2", Digits, 0, 2), Insert(1009, u"3", {}, Digit, u"3", Digits, 0, 3),
    Insert(1019, u"-", {}, Function, u"-", Digits, 1, 0), Insert(1010, u"4", {}, Digit, u"4", Digits, 1, 1),
    Insert(1011, u"5", {}, Digit, u"5", Digits, 1, 2), Insert(1012, u"6", {}, Digit, u"6", Digits, 1, 3),
    Insert(1016, u"*", u"\u00D7", Function, u"\u00D7", Digits, 2, 0), Insert(1013, u"7", {}, Digit, u"7", Digits, 2, 1),
    Insert(1014, u"8", {}, Digit, u"8", Digits, 2, 2), Insert(1015, u"9", {}, Digit, u"9", Digits, 2, 3),
    Insert(1017, u"/", u"\u00F7", Function, u"\u00F7", Digits, 3, 0), Insert(1006, u"0", {}, Digit, u"0", Digits, 3, 1),
    Build(1026, u",", {}, Digit, DecimalPoint, Digits, 3, 2), Insert(1064, u";", {}, Service, u";", Digits, 3, 3),
    // Under the digits, each two digit columns wide.
    Send(1001, u"=", CmdCalculate, Equals, 4, 0), Send(1062, u"= all", CmdCalculateAll, Equals, 4, 1),
    // Service block, two columns of four.
    Send(1051, u"Clear", CmdClear, Services, 0, 0), Build(1061, u"Rslt", {}, Service, ResultKeyword, Services, 0, 1),
    Send(1050, u"Bkspace", CmdBackspace, Services, 1, 0), Send(1068, u"Free", CmdFreeMemory, Services, 1, 1),
    Insert(1063, u"Enter", {}, Service, u"\r\n", Services, 2, 0),
    Build(1069, u"->", {}, Service, StoreMemory, Services, 2, 1),
    Insert(1071, u"; enter", {}, Service, u";\r\n", Services, 3, 0), Build(1070, u"Mem", {}, Service, Memory, Services, 3, 1),
});
// clang-format on

static_assert(FunctionNameTable.size() == FunctionNameCount);
static_assert(ButtonTable.size() == ButtonCount);
static_assert(FunctionNameTable[DecimalPointRow].ButtonId == 1026, "the decimal point's row");

std::u16string UpperCase(std::u16string_view text)
{
    std::u16string upper(text);
    for (char16_t& unit : upper) {
        if (unit >= u'a' && unit <= u'z')
            unit = static_cast<char16_t>(unit - u'a' + u'A');
    }
    return upper;
}

std::u16string_view RowName(int row, std::uint32_t notation)
{
    const Keypad::FunctionName& name = FunctionNameTable[static_cast<std::size_t>(row)];
    return notation == 0 ? name.West : name.East;
}

std::u16string Concat(std::u16string_view a, std::u16string_view b = {}, std::u16string_view c = {})
{
    std::u16string text;
    text.reserve(a.size() + b.size() + c.size());
    text.append(a).append(b).append(c);
    return text;
}

std::string Utf8(std::u16string_view text)
{
    // The table's texts are ASCII but for a few signs of the Basic
    // Multilingual Plane.
    std::string utf8;
    for (const char16_t unit : text) {
        if (unit < 0x80) {
            utf8 += static_cast<char>(unit);
        } else if (unit < 0x800) {
            utf8 += static_cast<char>(0xC0 | (unit >> 6));
            utf8 += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (unit >> 12));
            utf8 += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return utf8;
}

// What a command button does, in words.
std::string_view CommandSentence(std::uint32_t code)
{
    switch (code) {
    case CmdClear:
        return "Erases the whole text (Undo brings it back).";
    case CmdBackspace:
        return "Deletes the selection, or the character before the caret.";
    case CmdCalculate:
        return "Calculates the statement at the caret, as Ctrl+= does.";
    case CmdCalculateAll:
        return "Calculates all statements, as Ctrl+Shift+= does.";
    case CmdFreeMemory:
        return "Frees all memory cells, asking first when the preferences say so.";
    default:
        return "Does nothing.";
    }
}

// A text as a person reads it: line breaks named.
std::u16string Readable(std::u16string_view text)
{
    std::u16string readable;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == u"\r\n") {
            readable += readable.empty() ? u"a line break" : u" and a line break";
            ++i;
        } else {
            readable += text[i];
        }
    }
    return readable;
}

}  // namespace

std::span<const Button> Buttons()
{
    return ButtonTable;
}

std::span<const FunctionName> FunctionNames()
{
    return FunctionNameTable;
}

std::optional<int> ButtonIndex(int id)
{
    const auto* found =
        std::find_if(ButtonTable.begin(), ButtonTable.end(), [id](const Button& button) { return button.Id == id; });
    if (found == ButtonTable.end())
        return std::nullopt;
    return static_cast<int>(found - ButtonTable.begin());
}

const Button* FindButton(int id)
{
    const auto index = ButtonIndex(id);
    return index ? &ButtonTable[static_cast<std::size_t>(*index)] : nullptr;
}

std::optional<int> FunctionRow(int id)
{
    const auto* found = std::find_if(FunctionNameTable.begin(), FunctionNameTable.end(),
                                     [id](const Keypad::FunctionName& name) { return name.ButtonId == id; });
    if (found == FunctionNameTable.end())
        return std::nullopt;
    return static_cast<int>(found - FunctionNameTable.begin());
}

CaptionState CaptionStateOf(const Tevra::CCalcSettings& settings)
{
    // Any notation but West shows the East names.
    return {settings.Notation == 0 ? 0u : 1u, settings.NotationCase == 1, settings.GammaFunction != 0};
}

std::u16string Caption(const Button& button, const CaptionState& state)
{
    if (button.Kind == Name || button.Kind == DecimalPoint) {
        const std::u16string_view name = RowName(FunctionRow(button.Id).value_or(DecimalPointRow), state.Notation);
        return state.Upper ? UpperCase(name) : std::u16string(name);
    }
    if (button.Kind == Factorial && state.Gamma)
        return u"\u0393";
    return std::u16string(button.FixedCaption.empty() ? button.TemplateCaption : button.FixedCaption);
}

std::u16string FunctionNameText(int row, const Tevra::CCalcSettings& settings, std::uint32_t notation)
{
    const std::u16string_view name = RowName(row, notation);
    return Concat(settings.NotationCase == 1 ? UpperCase(name) : std::u16string(name), settings.FunctionBracket());
}

Press WhatItSends(const Button& button, const Tevra::CCalcSettings& settings, std::uint32_t notation)
{
    switch (button.Kind) {
    case Name:
        return {std::nullopt, FunctionNameText(FunctionRow(button.Id).value_or(DecimalPointRow), settings, notation)};
    case Power:
        return {std::nullopt, Concat(u"^", settings.AppendIncludePower ? settings.FunctionBracket() : u"")};
    case Factorial:
        if (!settings.GammaFunction)
            return {std::nullopt, u"!"};
        return {std::nullopt, Concat(u"\u0393", settings.FunctionBracket())};
    case Sum:
        return {std::nullopt, Concat(u"\u2211", settings.FunctionBracket())};
    case Product:
        return {std::nullopt, Concat(u"\u220F", settings.FunctionBracket())};
    case RandomKeyword:
        return {std::nullopt, Concat(settings.RandomKeyword())};
    case ResultKeyword:
        return {std::nullopt, Concat(settings.ResultKeyword())};
    case Memory:
        return {std::nullopt, Concat(settings.MemoryKeyword(), settings.MemoryBracket())};
    case StoreMemory:
        return {std::nullopt, Concat(u"->", settings.MemoryKeyword(), settings.MemoryBracket())};
    case DecimalPoint:
        return {std::nullopt, Concat(RowName(DecimalPointRow, notation))};
    case Text:
        return {std::nullopt, Concat(button.Text)};
    case Command:
        return {button.Code, {}};
    }
    return {};
}

std::string Description(const Button& button)
{
    switch (button.Kind) {
    case Name: {
        const Keypad::FunctionName& name =
            FunctionNameTable[static_cast<std::size_t>(FunctionRow(button.Id).value_or(0))];
        const std::string names = name.West == name.East
            ? Utf8(name.West)
            : Utf8(name.West) + " (West notation) or " + Utf8(name.East) + " (East notation)";
        return "Inserts the function name " + names +
            ", in the letter case of the preferences, followed by the function bracket.";
    }
    case Power:
        return "Inserts the power sign ^, followed by the function bracket when the preferences include the power.";
    case Factorial:
        return "Inserts the factorial sign !, or the gamma function sign \u0393 followed by the function bracket when "
               "the preferences offer the gamma function instead.";
    case Sum:
        return "Inserts the series sum sign \u2211, followed by the function bracket.";
    case Product:
        return "Inserts the series product sign \u220F, followed by the function bracket.";
    case RandomKeyword:
        return "Inserts the random-number keyword, spelt as the preferences say (Rand).";
    case ResultKeyword:
        return "Inserts the last-result keyword, spelt as the preferences say (Rslt).";
    case Memory:
        return "Inserts the memory keyword, spelt as the preferences say (Mem), followed by the memory bracket.";
    case StoreMemory:
        return "Inserts the store arrow -> and the memory keyword, followed by the memory bracket.";
    case DecimalPoint:
        return "Inserts the decimal point.";
    case Text:
        return "Inserts " + Utf8(Readable(button.Text)) + ".";
    case Command:
        return std::string(CommandSentence(button.Code));
    }
    return {};
}

std::u16string CurrentDescription(const Button& button, const Tevra::CCalcSettings& settings, std::uint32_t notation)
{
    const Press press = WhatItSends(button, settings, notation);
    if (press.Command) {
        std::string_view sentence = CommandSentence(*press.Command);
        return std::u16string(sentence.begin(), sentence.end());
    }
    return u"Inserts " + Readable(press.Text);
}

}  // namespace Keypad
