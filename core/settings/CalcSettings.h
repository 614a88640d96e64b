// The one process-wide record of the user's preferences.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace Tevra {

struct CCalcSettings {
    // Persisted values, each stored under its own name as a 32-bit unsigned
    // integer. Booleans count any non-zero value as set.
    std::uint32_t AppendFunction = 1;
    std::uint32_t AppendMemory = 1;
    std::uint32_t AppendFunctionWith = 0;  // 0 "(", 1 "[", 2 "{"
    std::uint32_t AppendMemoryWith = 1;    // 0 "(", 1 "[", 2 "{"
    std::uint32_t AppendIncludePower = 1;
    std::uint32_t FormatMemory = 0;  // index into MemoryKeywords
    std::uint32_t FormatRandom = 0;  // index into RandomKeywords
    std::uint32_t FormatResult = 0;  // index into ResultKeywords
    std::uint32_t GammaFunction = 0;
    std::uint32_t Notation = 0;      // 0 West, 1 East
    std::uint32_t NotationCase = 0;  // 0 Lower, 1 Upper
    std::uint32_t LogPopup = 1;
    std::uint32_t TrigonometricUnits = 0;  // 0 Radians, 1 Degrees, 2 Grads
    std::uint32_t UseSSE2 = 0;
    std::uint32_t FreeConfirmation = 2;  // 0 none, 1 free all, 2 free selected as well
    // The significant digits of the results shown and written into the text:
    // one of DigitChoices. Memory files, copied values and tevra's JSON keep
    // all 20 whatever it says.
    std::uint32_t DigitsInResults = 20;
    // Whether the memory cells and the last result are kept at exit and
    // brought back at the next start.
    std::uint32_t KeepMemory = 0;

    // Run-time flags, never stored.
    bool SSE2Available = true;
    bool Modified = false;

    std::u16string_view ResultKeyword() const;
    std::u16string_view MemoryKeyword() const;
    std::u16string_view RandomKeyword() const;
    // "%.20G" when NotationCase is 1, else "%.20g".
    std::string_view NumberFormat() const;
    bool UpperCaseNumbers() const { return NotationCase == 1; }
    // DigitsInResults as a digit count for FormatNumber: any value outside 1
    // to 20 gives the full 20.
    int ResultDigits() const;
    // "Rad", "Deg" or "Grad"; any value outside 0 to 2 shows "Rad".
    std::u16string_view UnitsLabel() const;
    // The bracket inserted after a function name: nothing when
    // AppendFunction is clear, else "[" for AppendFunctionWith 1, "{" for 2,
    // "(" for any other value.
    std::u16string_view FunctionBracket() const;
    // The bracket inserted after the memory keyword: nothing when
    // AppendMemory is clear, else "(" for AppendMemoryWith 0, "{" for 2, "["
    // for any other value.
    std::u16string_view MemoryBracket() const;
};

// The texts the index fields select, each list in one place: the
// Preferences dialog, the units lists, the status bar and the keypad show
// them from here.
inline constexpr auto ResultKeywords =
    std::to_array<std::u16string_view>({u"Rslt", u"rslt", u"RSLT", u"Result", u"result", u"RESULT"});
inline constexpr auto MemoryKeywords =
    std::to_array<std::u16string_view>({u"Mem", u"mem", u"MEM", u"Memory", u"memory", u"MEMORY"});
inline constexpr auto RandomKeywords =
    std::to_array<std::u16string_view>({u"Rand", u"rand", u"RAND", u"Random", u"random", u"RANDOM"});
// The opening bracket after a function name or the memory keyword, by
// AppendFunctionWith and AppendMemoryWith.
inline constexpr auto Brackets = std::to_array<std::u16string_view>({u"(", u"[", u"{"});
inline constexpr auto NotationNames = std::to_array<std::u16string_view>({u"West", u"East"});
inline constexpr auto NotationCaseNames = std::to_array<std::u16string_view>({u"Lower", u"Upper"});
// TrigonometricUnits as the units lists name it, and the status bar's label.
inline constexpr auto UnitsNames = std::to_array<std::u16string_view>({u"Radians", u"Degrees", u"Grads"});
inline constexpr auto UnitsLabels = std::to_array<std::u16string_view>({u"Rad", u"Deg", u"Grad"});
// The values DigitsInResults may take, as the Preferences dialog lists them,
// and their texts.
inline constexpr auto DigitChoices = std::to_array<std::uint32_t>({20, 17, 15, 12, 6});
inline constexpr auto DigitChoiceNames = std::to_array<std::u16string_view>({u"20", u"17", u"15", u"12", u"6"});
static_assert(DigitChoices.size() == DigitChoiceNames.size(), "one text per digit count");

// One persisted field: its stored name, where it lives in the record, its
// default, the largest valid value (none: taken as stored) and, for a field
// that takes only some values, those values. The names and
// the values are fixed: the settings store keeps each field under its name in
// the group "Preferences", so a stored preference survives an update only
// while its name and the meaning of its numbers stay the same.
struct SettingField {
    std::string_view Name;
    std::uint32_t CCalcSettings::*Field;
    std::uint32_t Default;
    std::optional<std::uint32_t> Maximum;
    std::span<const std::uint32_t> Choices = {};
};

// The persisted fields in the order they are loaded and saved: the fifteen
// of the first versions, then the ones added since.
inline constexpr std::array<SettingField, 17> SettingFields = {{
    {.Name = "AppendFunction", .Field = &CCalcSettings::AppendFunction, .Default = 1, .Maximum = std::nullopt},
    {.Name = "AppendMemory", .Field = &CCalcSettings::AppendMemory, .Default = 1, .Maximum = std::nullopt},
    {.Name = "AppendFunctionWith", .Field = &CCalcSettings::AppendFunctionWith, .Default = 0, .Maximum = 2},
    {.Name = "AppendMemoryWith", .Field = &CCalcSettings::AppendMemoryWith, .Default = 1, .Maximum = 2},
    {.Name = "AppendIncludePower", .Field = &CCalcSettings::AppendIncludePower, .Default = 1, .Maximum = std::nullopt},
    {.Name = "FormatMemory", .Field = &CCalcSettings::FormatMemory, .Default = 0, .Maximum = 5},
    {.Name = "FormatRandom", .Field = &CCalcSettings::FormatRandom, .Default = 0, .Maximum = 5},
    {.Name = "FormatResult", .Field = &CCalcSettings::FormatResult, .Default = 0, .Maximum = 5},
    {.Name = "GammaFunction", .Field = &CCalcSettings::GammaFunction, .Default = 0, .Maximum = std::nullopt},
    {.Name = "Notation", .Field = &CCalcSettings::Notation, .Default = 0, .Maximum = 1},
    {.Name = "NotationCase", .Field = &CCalcSettings::NotationCase, .Default = 0, .Maximum = 1},
    {.Name = "LogPopup", .Field = &CCalcSettings::LogPopup, .Default = 1, .Maximum = std::nullopt},
    {.Name = "TrigonometricUnits", .Field = &CCalcSettings::TrigonometricUnits, .Default = 0, .Maximum = 2},
    {.Name = "UseSSE2", .Field = &CCalcSettings::UseSSE2, .Default = 0, .Maximum = std::nullopt},
    {.Name = "FreeConfirmation", .Field = &CCalcSettings::FreeConfirmation, .Default = 2, .Maximum = std::nullopt},
    {.Name = "DigitsInResults",
     .Field = &CCalcSettings::DigitsInResults,
     .Default = 20,
     .Maximum = 20,
     .Choices = DigitChoices},
    {.Name = "KeepMemory", .Field = &CCalcSettings::KeepMemory, .Default = 0, .Maximum = std::nullopt},
}};

// The largest valid value of a field with a range.
constexpr std::uint32_t MaximumOf(std::uint32_t CCalcSettings::*field)
{
    for (const SettingField& entry : SettingFields) {
        if (entry.Field == field)
            return entry.Maximum.value_or(0);
    }
    return 0;
}

// The table's defaults are the record's.
constexpr bool DefaultsMatchRecord()
{
    constexpr CCalcSettings record;
    for (const SettingField& entry : SettingFields) {
        if (record.*entry.Field != entry.Default)
            return false;
    }
    return true;
}
static_assert(DefaultsMatchRecord(), "a field's default in the table is the record's default");

// Every list holds one text per value its field may take.
static_assert(ResultKeywords.size() == MaximumOf(&CCalcSettings::FormatResult) + 1);
static_assert(MemoryKeywords.size() == MaximumOf(&CCalcSettings::FormatMemory) + 1);
static_assert(RandomKeywords.size() == MaximumOf(&CCalcSettings::FormatRandom) + 1);
static_assert(Brackets.size() == MaximumOf(&CCalcSettings::AppendFunctionWith) + 1);
static_assert(Brackets.size() == MaximumOf(&CCalcSettings::AppendMemoryWith) + 1);
static_assert(NotationNames.size() == MaximumOf(&CCalcSettings::Notation) + 1);
static_assert(NotationCaseNames.size() == MaximumOf(&CCalcSettings::NotationCase) + 1);
static_assert(UnitsNames.size() == MaximumOf(&CCalcSettings::TrigonometricUnits) + 1);
static_assert(UnitsLabels.size() == UnitsNames.size());

// Whether a stored value is one the field may take: within its range and,
// for a field of choices, one of them.
bool IsUsableSetting(const SettingField& field, std::uint32_t stored);

// Applies a stored value to a field: one it may not take gives the field's
// default.
void ApplyStoredSetting(CCalcSettings& settings, const SettingField& field, std::optional<std::uint32_t> stored);

}  // namespace Tevra
