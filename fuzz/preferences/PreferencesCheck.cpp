#include "fuzz/preferences/PreferencesCheck.h"

#include <QDir>
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
        if (!Tevra::IsUsableSetting(field, record.*field.Field))
            return std::string(field.Name) + " is out of range";
    }
    return {};
}

// Where the fuzzed bytes are written for the settings reader: a folder in
// memory (tmpfs) when the system has one, so that an input costs no disk.
QString InputPath()
{
    static const QTemporaryDir directory(QDir(QStringLiteral("/dev/shm")).exists()
                                             ? QStringLiteral("/dev/shm/tevra-fuzz-XXXXXX")
                                             : QDir::tempPath() + QStringLiteral("/tevra-fuzz-XXXXXX"));
    return directory.filePath(QStringLiteral("fuzzed.conf"));
}

// A store that lives only in its QSettings object: its path lies where no
// folder can be made, so writing it back (SavePreferences syncs) keeps every
// key in the object and reaches no file, and reading it back gives what was
// written.
QSettings MemoryStore()
{
    return QSettings(QStringLiteral("/proc/tevra-no-such-folder/preferences.conf"), QSettings::IniFormat);
}

}  // namespace

std::string CheckStoredPreferences(std::string_view bytes)
{
    const QString path = InputPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return {};
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    // The bytes as the program's settings file: read once, by the reader the
    // program uses.
    Tevra::CCalcSettings record;
    QSettings memory = MemoryStore();
    {
        QSettings settings(path, QSettings::IniFormat);
        Tevra::LoadPreferences(record, settings);
        if (std::string fault = OutOfRange(record); !fault.empty())
            return fault;
        for (const QString& key : settings.allKeys())
            memory.setValue(key, settings.value(key));
    }
    // Written back and read again, in memory.
    record.Modified = true;
    Tevra::SavePreferences(record, memory);
    Tevra::CCalcSettings reloaded;
    Tevra::LoadPreferences(reloaded, memory);
    for (const Tevra::SettingField& field : Tevra::SettingFields) {
        if (reloaded.*field.Field != record.*field.Field)
            return std::string(field.Name) + " changed when written back";
    }
    memory.beginGroup(QStringLiteral("Preferences"));
    if (!memory.childGroups().isEmpty() ||
        memory.childKeys().size() != static_cast<qsizetype>(Tevra::SettingFields.size()))
        return "the preferences group holds keys of no field";
    return {};
}

}  // namespace TevraFuzz
