#include "core/settings/CalcSettings.h"

#include <algorithm>

namespace Tevra {

namespace {

// One of a six-spelling keyword list; an index out of range gives the first.
template <std::size_t N>
std::u16string_view Spelling(const std::array<std::u16string_view, N>& spellings, std::uint32_t index)
{
    return index < spellings.size() ? spellings[index] : spellings[0];
}

}  // namespace

std::u16string_view CCalcSettings::ResultKeyword() const
{
    return Spelling(ResultKeywords, FormatResult);
}

std::u16string_view CCalcSettings::MemoryKeyword() const
{
    return Spelling(MemoryKeywords, FormatMemory);
}

std::u16string_view CCalcSettings::RandomKeyword() const
{
    return Spelling(RandomKeywords, FormatRandom);
}

std::string_view CCalcSettings::NumberFormat() const
{
    return NotationCase == 1 ? "%.20G" : "%.20g";
}

int CCalcSettings::ResultDigits() const
{
    constexpr std::uint32_t full = 20;
    return static_cast<int>(DigitsInResults >= 1 && DigitsInResults <= full ? DigitsInResults : full);
}

std::u16string_view CCalcSettings::UnitsLabel() const
{
    return Spelling(UnitsLabels, TrigonometricUnits);
}

std::u16string_view CCalcSettings::FunctionBracket() const
{
    if (AppendFunction == 0)
        return {};
    switch (AppendFunctionWith) {
    case 1:
        return u"[";
    case 2:
        return u"{";
    default:
        return u"(";
    }
}

std::u16string_view CCalcSettings::MemoryBracket() const
{
    if (AppendMemory == 0)
        return {};
    switch (AppendMemoryWith) {
    case 0:
        return u"(";
    case 2:
        return u"{";
    default:
        return u"[";
    }
}

bool IsUsableSetting(const SettingField& field, std::uint32_t stored)
{
    if (field.Maximum.has_value() && stored > *field.Maximum)
        return false;
    return field.Choices.empty() ||
        std::find(field.Choices.begin(), field.Choices.end(), stored) != field.Choices.end();
}

void ApplyStoredSetting(CCalcSettings& settings, const SettingField& field, std::optional<std::uint32_t> stored)
{
    const bool usable = stored.has_value() && IsUsableSetting(field, *stored);
    settings.*field.Field = usable ? *stored : field.Default;
}

}  // namespace Tevra
