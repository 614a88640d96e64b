#include "fuzz/preferences/PreferencesCheck.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "core/settings/CalcSettings.h"
#include "desktop/services/Preferences.h"

namespace TevraFuzz {

namespace {

std::string OutOfRange(const Tevra::CCalcSettings& record)
{
    for (const Tevra::SettingField& field : Tevra::SettingFields) {
        if (field.Maximum && record.*field.Field > *field.Maximum)
            return std::string(field.Name) + " is out of range";
    }
    return {};
}

}  // namespace

std::string CheckStoredPreferences(std::string_view bytes)
{
    static QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("fuzzed.conf"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    Tevra::CCalcSettings record;
    {
        QSettings settings(path, QSettings::IniFormat);
        Tevra::LoadPreferences(record, settings);
        if (std::string fault = OutOfRange(record); !fault.empty())
            return fault;
        record.Modified = true;
        Tevra::SavePreferences(record, settings);
    }
    QSettings settings(path, QSettings::IniFormat);
    Tevra::CCalcSettings reloaded;
    Tevra::LoadPreferences(reloaded, settings);
    for (const Tevra::SettingField& field : Tevra::SettingFields) {
        if (reloaded.*field.Field != record.*field.Field)
            return std::string(field.Name) + " changed when written back";
    }
    settings.beginGroup(QStringLiteral("Preferences"));
    if (!settings.childGroups().isEmpty() ||
        settings.childKeys().size() != static_cast<qsizetype>(Tevra::SettingFields.size()))
        return "the preferences group holds keys of no field";
    return {};
}

}  // namespace TevraFuzz
