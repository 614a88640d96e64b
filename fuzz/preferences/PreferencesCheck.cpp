#include "fuzz/preferences/PreferencesCheck.h"

#include <QByteArrayView>
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

// A store that lives only in its QSettings object: its path names a file in
// a folder where none can be made, so that nothing can reach a file even if
// it were synced. (One object for every input would save looking for the
// file when it is made, but what it keeps from one input to the next sets
// the fuzzer's leak check off.)
QSettings MemoryStore()
{
    return QSettings(QStringLiteral("/proc/tevra-fuzz-preferences.conf"), QSettings::IniFormat);
}

// Loads the preferences from store (which holds what a settings file gave),
// writes them back into it and loads them again.
std::string CheckLoadedAndWrittenBack(QSettings& memory)
{
    Tevra::CCalcSettings record;
    Tevra::LoadPreferences(record, memory);
    if (std::string fault = OutOfRange(record); !fault.empty())
        return fault;
    record.Modified = true;
    Tevra::WritePreferences(record, memory);
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

// A value as the settings reader hands it over: bytes, a list (a value with
// commas) or a string.
QVariant ValueOf(QByteArrayView text)
{
    static constexpr QByteArrayView BytesPrefix = "@ByteArray(";
    if (text.startsWith(BytesPrefix) && text.endsWith(')'))
        return text.sliced(BytesPrefix.size(), text.size() - BytesPrefix.size() - 1).toByteArray();
    const QString string = QString::fromUtf8(text);
    if (string.contains(QLatin1Char(',')))
        return string.split(QLatin1Char(','));
    return string;
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
    // The bytes as the program's settings file, read by the reader the
    // program uses, then kept in memory.
    QSettings memory = MemoryStore();
    {
        const QSettings settings(path, QSettings::IniFormat);
        for (const QString& key : settings.allKeys())
            memory.setValue(key, settings.value(key));
    }
    return CheckLoadedAndWrittenBack(memory);
}

std::string CheckPreferenceValues(std::string_view bytes)
{
    QSettings memory = MemoryStore();
    QString group;
    for (QByteArrayView rest(bytes.data(), static_cast<qsizetype>(bytes.size())); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.startsWith('[') && line.endsWith(']')) {
            group = QString::fromUtf8(line.sliced(1, line.size() - 2));
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QString key = QString::fromUtf8(line.first(equals));
        memory.setValue(group.isEmpty() ? key : group + QLatin1Char('/') + key, ValueOf(line.sliced(equals + 1)));
    }
    return CheckLoadedAndWrittenBack(memory);
}

}  // namespace TevraFuzz
