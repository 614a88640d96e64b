#include "app/Preferences.h"

#include <QSettings>

#include "app/PreferencesStore.h"
#include "app/QtText.h"

namespace Tevra {

namespace {

const QString PreferencesGroup = QStringLiteral("Preferences");

QString KeyOf(const SettingField& field)
{
    return ToQString(field.Name);
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

void SavePreferences(const CCalcSettings& record, QSettings& settings)
{
    if (!record.Modified)
        return;
    settings.beginGroup(PreferencesGroup);
    for (const SettingField& field : SettingFields)
        settings.setValue(KeyOf(field), record.*field.Field);
    settings.endGroup();
    settings.sync();
}

void LoadPreferences()
{
    QSettings settings = ProgramSettings();
    LoadPreferences(CalcSettings, settings);
}

void SavePreferences()
{
    QSettings settings = ProgramSettings();
    SavePreferences(CalcSettings, settings);
}

}  // namespace Tevra
