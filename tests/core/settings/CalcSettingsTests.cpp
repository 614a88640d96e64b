#include "core/settings/CalcSettings.h"

#include <optional>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace {

using Tevra::CCalcSettings;
using Tevra::SettingFields;

TEST(CalcSettingsFields, AreLoadedInTheirFixedOrderWithTheirDefaultsAndRanges)
{
    struct Expected {
        std::string_view Name;
        std::uint32_t Default;
        std::optional<std::uint32_t> Maximum;
    };
    const Expected expected[] = {
        {"AppendFunction", 1, std::nullopt},
        {"AppendMemory", 1, std::nullopt},
        {"AppendFunctionWith", 0, 2},
        {"AppendMemoryWith", 1, 2},
        {"AppendIncludePower", 1, std::nullopt},
        {"FormatMemory", 0, 5},
        {"FormatRandom", 0, 5},
        {"FormatResult", 0, 5},
        {"GammaFunction", 0, std::nullopt},
        {"Notation", 0, 1},
        {"NotationCase", 0, 1},
        {"LogPopup", 1, std::nullopt},
        {"TrigonometricUnits", 0, 2},
        {"UseSSE2", 0, std::nullopt},
        {"FreeConfirmation", 2, std::nullopt},
        {"DigitsInResults", 20, 20},
        {"KeepMemory", 0, std::nullopt},
    };
    ASSERT_EQ(std::size(expected), SettingFields.size());
    const CCalcSettings fresh;
    for (std::size_t i = 0; i < SettingFields.size(); ++i) {
        SCOPED_TRACE(std::string(expected[i].Name));
        EXPECT_EQ(SettingFields[i].Name, expected[i].Name);
        EXPECT_EQ(SettingFields[i].Default, expected[i].Default);
        EXPECT_EQ(SettingFields[i].Maximum, expected[i].Maximum);
        EXPECT_EQ(fresh.*SettingFields[i].Field, expected[i].Default);
    }
}

TEST(CalcSettingsFields, EachNamesItsOwnMember)
{
    CCalcSettings settings;
    for (std::size_t i = 0; i < SettingFields.size(); ++i)
        settings.*SettingFields[i].Field = static_cast<std::uint32_t>(100 + i);
    EXPECT_EQ(settings.AppendFunction, 100u);
    EXPECT_EQ(settings.AppendMemoryWith, 103u);
    EXPECT_EQ(settings.FormatMemory, 105u);
    EXPECT_EQ(settings.FormatResult, 107u);
    EXPECT_EQ(settings.NotationCase, 110u);
    EXPECT_EQ(settings.TrigonometricUnits, 112u);
    EXPECT_EQ(settings.FreeConfirmation, 114u);
    EXPECT_EQ(settings.DigitsInResults, 115u);
    EXPECT_EQ(settings.KeepMemory, 116u);
}

struct StoredRow {
    const char* Label;
    std::string_view Field;
    std::optional<std::uint32_t> Stored;
    std::uint32_t Result;
};

void PrintTo(const StoredRow& row, std::ostream* out)
{
    *out << row.Label;
}

class StoredSetting : public testing::TestWithParam<StoredRow> {};

TEST_P(StoredSetting, IsTakenOrFallsBackToTheDefault)
{
    const auto& row = GetParam();
    for (const auto& field : SettingFields) {
        if (field.Name != row.Field)
            continue;
        CCalcSettings settings;
        settings.*field.Field = 77;
        Tevra::ApplyStoredSetting(settings, field, row.Stored);
        EXPECT_EQ(settings.*field.Field, row.Result);
        EXPECT_FALSE(settings.Modified);
        return;
    }
    FAIL() << "no field " << row.Field;
}

INSTANTIATE_TEST_SUITE_P(Values, StoredSetting,
                         testing::Values(StoredRow{"MissingGivesDefault", "AppendMemoryWith", std::nullopt, 1},
                                         StoredRow{"InRange", "TrigonometricUnits", 2, 2},
                                         StoredRow{"AboveRangeGivesDefault", "TrigonometricUnits", 3, 0},
                                         StoredRow{"HugeGivesDefault", "FormatResult", 0xFFFFFFFFu, 0},
                                         StoredRow{"TopOfRange", "FormatResult", 5, 5},
                                         StoredRow{"NotationCaseAboveRange", "NotationCase", 2, 0},
                                         StoredRow{"BooleanTakenAsStored", "LogPopup", 42, 42},
                                         StoredRow{"BooleanZero", "AppendFunction", 0, 0},
                                         StoredRow{"ConfirmationUnchecked", "FreeConfirmation", 9, 9},
                                         StoredRow{"ConfirmationMissing", "FreeConfirmation", std::nullopt, 2},
                                         StoredRow{"DigitsChoice", "DigitsInResults", 15, 15},
                                         StoredRow{"DigitsFewest", "DigitsInResults", 6, 6},
                                         StoredRow{"DigitsNotAChoiceGivesDefault", "DigitsInResults", 13, 20},
                                         StoredRow{"DigitsZeroGivesDefault", "DigitsInResults", 0, 20},
                                         StoredRow{"DigitsAboveRangeGivesDefault", "DigitsInResults", 21, 20},
                                         StoredRow{"DigitsMissing", "DigitsInResults", std::nullopt, 20},
                                         StoredRow{"KeepMemoryOn", "KeepMemory", 1, 1},
                                         StoredRow{"KeepMemoryMissingIsOff", "KeepMemory", std::nullopt, 0}),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST(CalcSettingsFields, OnlyTheDigitsFieldIsLimitedToChoices)
{
    for (const auto& field : SettingFields) {
        SCOPED_TRACE(std::string(field.Name));
        EXPECT_EQ(!field.Choices.empty(), field.Field == &CCalcSettings::DigitsInResults);
        EXPECT_TRUE(Tevra::IsUsableSetting(field, field.Default)) << "the default is a value the field takes";
        for (const std::uint32_t choice : field.Choices)
            EXPECT_TRUE(Tevra::IsUsableSetting(field, choice)) << choice;
    }
}

TEST(CalcSettingsAccessors, FreshRecordSpellsTheFirstKeywordsAndLowerCase)
{
    const CCalcSettings settings;
    EXPECT_EQ(settings.ResultKeyword(), u"Rslt");
    EXPECT_EQ(settings.MemoryKeyword(), u"Mem");
    EXPECT_EQ(settings.RandomKeyword(), u"Rand");
    EXPECT_EQ(settings.NumberFormat(), "%.20g");
    EXPECT_FALSE(settings.UpperCaseNumbers());
    EXPECT_EQ(settings.UnitsLabel(), u"Rad");
}

TEST(CalcSettingsAccessors, KeywordSpellingsFollowTheirIndex)
{
    CCalcSettings settings;
    for (std::uint32_t i = 0; i < 6; ++i) {
        settings.FormatResult = settings.FormatMemory = settings.FormatRandom = i;
        EXPECT_EQ(settings.ResultKeyword(), Tevra::ResultKeywords[i]);
        EXPECT_EQ(settings.MemoryKeyword(), Tevra::MemoryKeywords[i]);
        EXPECT_EQ(settings.RandomKeyword(), Tevra::RandomKeywords[i]);
    }
    settings.FormatResult = 4;
    EXPECT_EQ(settings.ResultKeyword(), u"result");
    settings.FormatMemory = 6;  // out of range: never indexes past the list
    EXPECT_EQ(settings.MemoryKeyword(), u"Mem");
}

TEST(CalcSettingsAccessors, UpperCaseSelectsTheCapitalFormat)
{
    CCalcSettings settings;
    settings.NotationCase = 1;
    EXPECT_EQ(settings.NumberFormat(), "%.20G");
    EXPECT_TRUE(settings.UpperCaseNumbers());
}

TEST(CalcSettingsAccessors, UnitsLabelShowsRadOutsideItsRange)
{
    CCalcSettings settings;
    const std::u16string_view labels[] = {u"Rad", u"Deg", u"Grad", u"Rad", u"Rad"};
    const std::uint32_t units[] = {0, 1, 2, 3, 0xFFFFFFFFu};
    for (std::size_t i = 0; i < std::size(units); ++i) {
        settings.TrigonometricUnits = units[i];
        EXPECT_EQ(settings.UnitsLabel(), labels[i]) << "units " << units[i];
    }
}

TEST(CalcSettingsAccessors, BracketsFollowTheirSwitchAndChoice)
{
    struct Row {
        std::uint32_t Append;
        std::uint32_t With;
        std::u16string_view Function;
        std::u16string_view Memory;
    };
    const Row rows[] = {
        {1, 0, u"(", u"("}, {1, 1, u"[", u"["}, {1, 2, u"{", u"{"},
        {1, 7, u"(", u"["}, {0, 1, u"", u""},   {5, 2, u"{", u"{"},
    };
    for (const Row& row : rows) {
        CCalcSettings settings;
        settings.AppendFunction = settings.AppendMemory = row.Append;
        settings.AppendFunctionWith = settings.AppendMemoryWith = row.With;
        EXPECT_EQ(settings.FunctionBracket(), row.Function) << row.Append << " " << row.With;
        EXPECT_EQ(settings.MemoryBracket(), row.Memory) << row.Append << " " << row.With;
    }
}

}  // namespace
