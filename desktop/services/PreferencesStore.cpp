#include "desktop/services/PreferencesStore.h"

#include <limits>
#include <memory>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariant>

namespace Tevra {

namespace {

// Plain decimal digits, at most as many as the largest 64-bit value needs;
// nothing for an empty text, a sign, spaces or any other character.
std::optional<std::uint64_t> DecimalDigits(QStringView text)
{
    if (text.isEmpty() || text.size() > 19)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c.unicode() - u'0');
    }
    return value;
}

// A signed number: an optional "-" before the digits.
std::optional<std::int64_t> SignedDecimal(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    const auto magnitude = DecimalDigits(negative ? text.mid(1) : text);
    if (!magnitude || *magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    const auto value = static_cast<std::int64_t>(*magnitude);
    return negative ? -value : value;
}

// The stored value as a whole number, when it is one: an integer variant, or
// a text of decimal digits (what the settings file holds).
std::optional<std::int64_t> WholeNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return value.toLongLong();
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort: {
        const qulonglong number = value.toULongLong();
        if (number > static_cast<qulonglong>(std::numeric_limits<std::int64_t>::max()))
            return std::nullopt;
        return static_cast<std::int64_t>(number);
    }
    case QMetaType::QString:
        return SignedDecimal(value.toString());
    case QMetaType::QByteArray:
        return SignedDecimal(QString::fromLatin1(value.toByteArray()));
    default:
        return std::nullopt;
    }
}

// The private copy of the store, once the process keeps its settings to
// itself; removed with its folder at exit.
std::unique_ptr<QTemporaryDir> PrivateCopyFolder;
QString PrivateCopy;

// Where the store lives, found without reading it: a store of another name
// in the same folder, which nobody writes, tells the folder.
QString StorePath()
{
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope, SettingsOrganization,
                          QStringLiteral("calculator-tevra-settings-path"));
    return QFileInfo(probe.fileName()).dir().filePath(SettingsApplication + QStringLiteral(".conf"));
}

}  // namespace

QString SettingsStoreProblem()
{
    const QString path = StorePath();
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (info.isDir())
        return QStringLiteral("%1 is a folder").arg(shown);
    if (info.exists() && !info.isFile())
        return QStringLiteral("%1 is not a regular file").arg(shown);
    if (info.isFile() && info.size() > LargestSettingsFile)
        return QStringLiteral("%1 is larger than 1 MB").arg(shown);
    if (info.isFile() && !info.isWritable())
        return QStringLiteral("%1 is not writable").arg(shown);
    const QFileInfo folder(info.absolutePath());
    if (folder.exists() && (!folder.isDir() || !folder.isWritable()))
        return QStringLiteral("the folder %1 is not writable").arg(QDir::toNativeSeparators(folder.filePath()));
    if (!folder.exists() && !QDir().mkpath(folder.filePath()))
        return QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folder.filePath()));
    return {};
}

bool SettingsStoreTooLarge()
{
    const QFileInfo info(StorePath());
    return info.isFile() && info.size() > LargestSettingsFile;
}

QSettings ProgramSettings()
{
    if (!PrivateCopy.isEmpty())
        return QSettings(PrivateCopy, QSettings::IniFormat);
    return QSettings(SettingsOrganization, SettingsApplication);
}

void KeepSettingsPrivate(bool copyStore)
{
    if (!PrivateCopy.isEmpty())
        return;
    const QString store = StorePath();
    PrivateCopyFolder = std::make_unique<QTemporaryDir>();
    if (!PrivateCopyFolder->isValid()) {
        // No folder for a copy: the process starts from the defaults and
        // writes where nobody reads.
        PrivateCopy =
            QDir::temp().filePath(QStringLiteral("calculator-tevra-%1.conf").arg(QCoreApplication::applicationPid()));
        return;
    }
    PrivateCopy = PrivateCopyFolder->filePath(QStringLiteral("settings.conf"));
    // A store that cannot be copied leaves the copy empty: the defaults.
    if (copyStore && QFile::exists(store) && QFile::copy(store, PrivateCopy))
        QFile::setPermissions(PrivateCopy, QFile::ReadOwner | QFile::WriteOwner);
}

bool SettingsArePrivate()
{
    return !PrivateCopy.isEmpty();
}

std::optional<std::uint32_t> StoredUInt32(const QVariant& value)
{
    const auto number = WholeNumber(value);
    if (!number || *number < 0 || *number > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(*number);
}

std::optional<std::int32_t> StoredInt32(const QVariant& value)
{
    const auto number = WholeNumber(value);
    if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
        *number > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*number);
}

std::optional<std::uint32_t> ReadStoredUInt32(const QSettings& settings, const QString& key)
{
    // A key not stored reads as no value, which no number is.
    return StoredUInt32(settings.value(key));
}

std::optional<std::int32_t> ReadStoredInt32(const QSettings& settings, const QString& key)
{
    // A key not stored reads as no value, which no number is.
    return StoredInt32(settings.value(key));
}

void KeepSettingsIn(const QString& directory)
{
    qputenv("XDG_CONFIG_HOME", directory.toUtf8());
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setDefaultFormat(QSettings::NativeFormat);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, directory);
}

}  // namespace Tevra
