// Reading numbers from the settings store. Every stored number of the program
// (preferences, window sizes, fonts) goes through these checks, so a value
// that is missing, not a number or out of range is seen as absent and the
// caller falls back to its default.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>

class QSettings;
class QVariant;

namespace Tevra {

// The settings root of the program: organisation and application name.
inline const QString SettingsOrganization = QStringLiteral("Vossek");
inline const QString SettingsApplication = QStringLiteral("Calculator Tevra");

// The values of a stored font, named alike in every section that keeps one
// (the editor's, the keypad's).
inline const QString FontFaceKey = QStringLiteral("FontFace");
inline const QString FontSizeKey = QStringLiteral("FontSize");
inline const QString FontWeightKey = QStringLiteral("FontWeight");
inline const QString FontItalicKey = QStringLiteral("FontItalic");

// The program's settings store, opened at its root: every window and service
// reads and writes its sections through this.
QSettings ProgramSettings();

// The largest settings file the program reads: far above what it writes,
// small enough to read in a moment.
inline constexpr qint64 LargestSettingsFile = qint64{1024} * 1024;

// Why the settings store cannot be read and saved, or empty when it can: a
// folder or a file that is not writable at its path, a folder it cannot be
// made in, or a file larger than LargestSettingsFile. The file is only looked
// at, not read.
QString SettingsStoreProblem();
// Whether the store is larger than the program reads.
bool SettingsStoreTooLarge();

// From now on this process reads the settings from a private copy of the
// store and writes only that copy, which goes at exit. A start that is not
// the program's running instance (a print job, or a start beside an
// instance that cannot be reached) keeps to itself this way, so that two
// processes never both write the store.
// Without copyStore the copy starts empty: the defaults.
void KeepSettingsPrivate(bool copyStore = true);
bool SettingsArePrivate();

// Keeps every settings file of the process under directory, never the
// user's own: the widget tests and the benchmarks call it before the
// application object exists.
void KeepSettingsIn(const QString& directory);

// An unsigned 32-bit number as stored: plain decimal digits (or a numeric
// variant) from 0 to 4294967295. Anything else (text, a sign, a fraction, a
// list, a value past 32 bits) gives nothing.
std::optional<std::uint32_t> StoredUInt32(const QVariant& value);

// A signed 32-bit number as stored: decimal digits with an optional leading
// "-", within the int32 range. Anything else gives nothing.
std::optional<std::int32_t> StoredInt32(const QVariant& value);

// The value of key in the current group of settings, read as above; nothing
// when the key is missing.
std::optional<std::uint32_t> ReadStoredUInt32(const QSettings& settings, const QString& key);
std::optional<std::int32_t> ReadStoredInt32(const QSettings& settings, const QString& key);

}  // namespace Tevra
