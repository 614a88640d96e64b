#include "desktop/services/Preferences.h"

#include <QSettings>

#include <algorithm>
#include <array>
#include <optional>

#include "desktop/services/PreferencesStore.h"
#include "desktop/services/QtText.h"
#include "core/engine/EngineState.h"

namespace Tevra {

namespace {

const QString PreferencesGroup = QStringLiteral("Preferences");

// The fields' keys, made once: loading and saving look every one up.
const QString& KeyOf(const SettingField& field)
{
    static const auto keys = [] {
        std::array<QString, SettingFields.size()> made;
        for (std::size_t i = 0; i < SettingFields.size(); ++i)
            made[i] = ToQString(SettingFields[i].Name);
        return made;
    }();
    return keys[static_cast<std::size_t>(&field - SettingFields.data())];
}

}  // namespace

bool ProbeSSE2()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2") != 0;
#else
    return false;
#endif
}

void LoadPreferences(CCalcSettings& record, QSettings& settings)
{
    record.SSE2Available = ProbeSSE2();
    settings.beginGroup(PreferencesGroup);
    for (const SettingField& field : SettingFields)
        ApplyStoredSetting(record, field, ReadStoredUInt32(settings, KeyOf(field)));
    settings.endGroup();
    // The SSE2 switch selects no other code path on this platform: UseSSE2 is
    // kept, edited and shown, and the math library is the same either way.
}

void DropUnknownSettings(QSettings& settings)
{
    // Keys at the top belong to no window.
    for (const QString& key : settings.childKeys())
        settings.remove(key);
    settings.beginGroup(PreferencesGroup);
    for (const QString& group : settings.childGroups())
        settings.remove(group);
    for (const QString& key : settings.childKeys()) {
        const auto known = std::find_if(SettingFields.begin(), SettingFields.end(),
                                        [&key](const SettingField& field) { return KeyOf(field) == key; });
        if (known == SettingFields.end()) {
            settings.remove(key);
            continue;
        }
        // A value loading refused gave the default; it is not kept either.
        const std::optional<std::uint32_t> value = ReadStoredUInt32(settings, key);
        if (!value || !IsUsableSetting(*known, *value))
            settings.remove(key);
    }
    settings.endGroup();
}

void WritePreferences(const CCalcSettings& record, QSettings& settings)
{
    DropUnknownSettings(settings);
    if (record.Modified) {
        settings.beginGroup(PreferencesGroup);
        for (const SettingField& field : SettingFields)
            settings.setValue(KeyOf(field), record.*field.Field);
        settings.endGroup();
    }
}

void SavePreferences(const CCalcSettings& record, QSettings& settings)
{
    WritePreferences(record, settings);
    settings.sync();
}

void LoadPreferences()
{
    QSettings settings = ProgramSettings();
    LoadPreferences(State().CalcSettings, settings);
}

void SavePreferences()
{
    QSettings settings = ProgramSettings();
    SavePreferences(State().CalcSettings, settings);
}

}  // namespace Tevra
