// The one process-wide record of the user's preferences.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
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

    // Run-time flags, never stored.
    bool SSE2Available = true;
    bool Modified = false;

    std::u16string_view ResultKeyword() const;
    std::u16string_view MemoryKeyword() const;
    std::u16string_view RandomKeyword() const;
    // "%.20G" when NotationCase is 1, else "%.20g".
    std::string_view NumberFormat() const;
    bool UpperCaseNumbers() const { return NotationCase == 1; }
    // "Rad", "Deg" or "Grad"; any value outside 0 to 2 shows "Rad".
    std::u16string_view UnitsLabel() const;
};

inline constexpr std::array<std::u16string_view, 6> ResultKeywords = {u"Rslt",   u"rslt",   u"RSLT",
                                                                      u"Result", u"result", u"RESULT"};
inline constexpr std::array<std::u16string_view, 6> MemoryKeywords = {u"Mem",    u"mem",    u"MEM",
                                                                      u"Memory", u"memory", u"MEMORY"};
inline constexpr std::array<std::u16string_view, 6> RandomKeywords = {u"Rand",   u"rand",   u"RAND",
                                                                      u"Random", u"random", u"RANDOM"};
inline constexpr std::array<std::u16string_view, 3> UnitsLabels = {u"Rad", u"Deg", u"Grad"};

// One persisted field: its stored name, where it lives in the record, its
// default and the largest valid value (none: taken as stored).
struct SettingField {
    std::string_view Name;
    std::uint32_t CCalcSettings::*Field;
    std::uint32_t Default;
    std::optional<std::uint32_t> Maximum;
};

// The fifteen persisted fields in the order they are loaded and saved.
extern const std::array<SettingField, 15> SettingFields;

// Applies a stored value to a field: out of range gives the field's default.
void ApplyStoredSetting(CCalcSettings& settings, const SettingField& field, std::optional<std::uint32_t> stored);

inline CCalcSettings CalcSettings;

}  // namespace Tevra
