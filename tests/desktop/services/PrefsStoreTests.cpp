// Loading and saving the preferences record: every value falls back to its
// own default when it is missing, not a number or out of range.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "desktop/services/Preferences.h"
#include "desktop/services/PreferencesStore.h"
#include "core/engine/EngineState.h"

namespace {

using Tevra::CCalcSettings;

CCalcSettings DefaultRecord()
{
    CCalcSettings record;
    for (const Tevra::SettingField& field : Tevra::SettingFields)
        record.*field.Field = field.Default;
    return record;
}

void ExpectSameFields(const CCalcSettings& actual, const CCalcSettings& expected)
{
    for (const Tevra::SettingField& field : Tevra::SettingFields)
        EXPECT_EQ(actual.*field.Field, expected.*field.Field) << field.Name;
}

// Every field set away from its default, so a test sees which ones loading
// touched.
CCalcSettings ScrambledRecord()
{
    CCalcSettings record;
    for (const Tevra::SettingField& field : Tevra::SettingFields)
        record.*field.Field = 99;
    return record;
}

class PreferencesStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings_ = std::make_unique<QSettings>(dir_.filePath(QStringLiteral("prefs.conf")), QSettings::IniFormat);
    }

    // A settings file as a user or a damaged disk might leave it.
    void WriteRawFile(const QByteArray& text)
    {
        settings_.reset();
        QFile file(dir_.filePath(QStringLiteral("prefs.conf")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        settings_ = std::make_unique<QSettings>(dir_.filePath(QStringLiteral("prefs.conf")), QSettings::IniFormat);
    }

    QTemporaryDir dir_;
    std::unique_ptr<QSettings> settings_;
};

TEST_F(PreferencesStore, EmptyStoreGivesDefaultsAndNothingIsWritten)
{
    CCalcSettings record = ScrambledRecord();
    Tevra::LoadPreferences(record, *settings_);
    ExpectSameFields(record, DefaultRecord());

    Tevra::SavePreferences(record, *settings_);
    settings_->sync();
    EXPECT_TRUE(settings_->allKeys().isEmpty());
    EXPECT_FALSE(QFile::exists(settings_->fileName()));
}

TEST_F(PreferencesStore, SaveWritesEveryFieldOnlyWhenModified)
{
    CCalcSettings record = DefaultRecord();
    record.FormatResult = 3;
    Tevra::SavePreferences(record, *settings_);
    EXPECT_TRUE(settings_->allKeys().isEmpty());

    record.Modified = true;
    Tevra::SavePreferences(record, *settings_);
    settings_->beginGroup(QStringLiteral("Preferences"));
    EXPECT_EQ(settings_->allKeys().size(), static_cast<qsizetype>(Tevra::SettingFields.size()));
    EXPECT_EQ(settings_->value(QStringLiteral("FormatResult")).toInt(), 3);
    settings_->endGroup();
}

TEST_F(PreferencesStore, ChangedValuesSurviveSaveAndReload)
{
    CCalcSettings record = DefaultRecord();
    record.AppendIncludePower = 0;
    record.AppendMemoryWith = 2;
    record.TrigonometricUnits = 1;
    record.FreeConfirmation = 0;
    record.DigitsInResults = 12;
    record.KeepMemory = 1;
    record.Modified = true;
    Tevra::SavePreferences(record, *settings_);

    settings_.reset();
    settings_ = std::make_unique<QSettings>(dir_.filePath(QStringLiteral("prefs.conf")), QSettings::IniFormat);
    CCalcSettings reloaded = ScrambledRecord();
    Tevra::LoadPreferences(reloaded, *settings_);
    EXPECT_EQ(reloaded.AppendIncludePower, 0u);
    EXPECT_EQ(reloaded.AppendMemoryWith, 2u);
    EXPECT_EQ(reloaded.TrigonometricUnits, 1u);
    EXPECT_EQ(reloaded.FreeConfirmation, 0u);
    EXPECT_EQ(reloaded.DigitsInResults, 12u);
    EXPECT_EQ(reloaded.KeepMemory, 1u);
    EXPECT_FALSE(reloaded.Modified);
}

struct StoredCase {
    const char* Key;
    QVariant Stored;
    std::uint32_t CCalcSettings::*Field;
    std::uint32_t Expected;
};

TEST_F(PreferencesStore, EachValueIsCheckedOnItsOwn)
{
    const StoredCase cases[] = {
        {"FormatResult", 6, &CCalcSettings::FormatResult, 0},
        {"FormatResult", QStringLiteral("4294967295"), &CCalcSettings::FormatResult, 0},
        {"FormatResult", 5, &CCalcSettings::FormatResult, 5},
        {"AppendMemoryWith", 3, &CCalcSettings::AppendMemoryWith, 1},
        {"AppendMemoryWith", 2, &CCalcSettings::AppendMemoryWith, 2},
        {"Notation", QStringLiteral("East"), &CCalcSettings::Notation, 0},
        {"Notation", 1, &CCalcSettings::Notation, 1},
        {"NotationCase", QStringLiteral("-1"), &CCalcSettings::NotationCase, 0},
        {"TrigonometricUnits", QStringLiteral("1.5"), &CCalcSettings::TrigonometricUnits, 0},
        {"TrigonometricUnits", QStringLiteral("2"), &CCalcSettings::TrigonometricUnits, 2},
        {"LogPopup", QStringLiteral("abc"), &CCalcSettings::LogPopup, 1},
        {"LogPopup", 0, &CCalcSettings::LogPopup, 0},
        {"UseSSE2", QStringLiteral("4294967296"), &CCalcSettings::UseSSE2, 0},
        {"UseSSE2", 7, &CCalcSettings::UseSSE2, 7},
        {"FreeConfirmation", 7, &CCalcSettings::FreeConfirmation, 7},
        {"FreeConfirmation", QStringLiteral(""), &CCalcSettings::FreeConfirmation, 2},
        {"AppendFunction", QStringList{QStringLiteral("1"), QStringLiteral("2")}, &CCalcSettings::AppendFunction, 1},
        {"DigitsInResults", 15, &CCalcSettings::DigitsInResults, 15},
        {"DigitsInResults", QStringLiteral("6"), &CCalcSettings::DigitsInResults, 6},
        {"DigitsInResults", 13, &CCalcSettings::DigitsInResults, 20},
        {"DigitsInResults", 0, &CCalcSettings::DigitsInResults, 20},
        {"DigitsInResults", QStringLiteral("fifteen"), &CCalcSettings::DigitsInResults, 20},
        {"KeepMemory", 1, &CCalcSettings::KeepMemory, 1},
        {"KeepMemory", QStringLiteral("yes"), &CCalcSettings::KeepMemory, 0},
    };
    for (const StoredCase& row : cases) {
        settings_->clear();
        settings_->setValue(QStringLiteral("Preferences/%1").arg(QLatin1String(row.Key)), row.Stored);
        // A second field next to the bad one is still read.
        settings_->setValue(QStringLiteral("Preferences/FormatMemory"), 4);
        CCalcSettings record = ScrambledRecord();
        Tevra::LoadPreferences(record, *settings_);
        EXPECT_EQ(record.*row.Field, row.Expected) << row.Key << " stored as " << row.Stored.toString().toStdString();
        EXPECT_EQ(record.FormatMemory, 4u) << row.Key;
    }
}

TEST_F(PreferencesStore, GarbageInEveryValueGivesTheDefaults)
{
    WriteRawFile("[Preferences]\n"
                 "AppendFunction=yes\nAppendMemory=-3\nAppendFunctionWith=9\nAppendMemoryWith=0x1\n"
                 "AppendIncludePower=@Invalid()\nFormatMemory=6\nFormatRandom=\"\"\nFormatResult=1e3\n"
                 "GammaFunction=\"1 "
                 "\"\nNotation=West\nNotationCase=2\nLogPopup=\xff\xfe\nTrigonometricUnits=99999999999999999999\n"
                 "UseSSE2=+1\nFreeConfirmation=@ByteArray(\\0\\0)\n");
    CCalcSettings record = ScrambledRecord();
    Tevra::LoadPreferences(record, *settings_);
    ExpectSameFields(record, DefaultRecord());
}

// What a damaged or hostile settings file holds beside the program's keys is
// not carried over when the settings are written back, modified or not; the
// windows' groups stay whole.
TEST_F(PreferencesStore, UnknownAndGarbageKeysAreNotWrittenBack)
{
    const QByteArray garbage(64 * 1024, 'x');
    WriteRawFile("Stray=1\n"
                 "[General]\nAlso=2\n"
                 "[Preferences]\nFormatResult=3\nNotation=West\nGammaFunction=-1\nNoSuchKey=1\nJunk" +
                 garbage + "=" + garbage +
                 "\n[Preferences/Deeper]\nA=1\n"
                 "[GUI/Keypad]\nFontFace=Mono\n[GUI/Frame]\nMaximized=1\n");
    for (const bool modified : {false, true}) {
        SCOPED_TRACE(modified ? "modified" : "unmodified");
        CCalcSettings record = ScrambledRecord();
        Tevra::LoadPreferences(record, *settings_);
        record.Modified = modified;
        Tevra::SavePreferences(record, *settings_);
        settings_.reset();
        settings_ = std::make_unique<QSettings>(dir_.filePath(QStringLiteral("prefs.conf")), QSettings::IniFormat);
        QStringList keys = settings_->allKeys();
        keys.sort();
        QStringList expected = {"GUI/Frame/Maximized", "GUI/Keypad/FontFace", "Preferences/FormatResult"};
        if (modified) {
            expected.clear();
            for (const Tevra::SettingField& field : Tevra::SettingFields)
                expected.append(QStringLiteral("Preferences/") +
                                QString::fromUtf8(field.Name.data(), field.Name.size()));
            expected.append({"GUI/Frame/Maximized", "GUI/Keypad/FontFace"});
            expected.sort();
        }
        EXPECT_EQ(keys, expected);
        EXPECT_EQ(settings_->value(QStringLiteral("Preferences/FormatResult")).toInt(), 3);
        EXPECT_LT(QFile(settings_->fileName()).size(), 4096);
    }
}

TEST_F(PreferencesStore, ValidValuesInAHandWrittenFileAreRead)
{
    WriteRawFile("[Preferences]\nFormatResult=3\nNotation=1\nAppendFunction=0\nFreeConfirmation=1\n");
    CCalcSettings record = ScrambledRecord();
    Tevra::LoadPreferences(record, *settings_);
    EXPECT_EQ(record.FormatResult, 3u);
    EXPECT_EQ(record.Notation, 1u);
    EXPECT_EQ(record.AppendFunction, 0u);
    EXPECT_EQ(record.FreeConfirmation, 1u);
    EXPECT_EQ(record.FormatMemory, 0u);
}

TEST(ProgramPreferences, UseTheProgramsOwnStoreAndRecord)
{
    const CCalcSettings saved = NCalculatorText::State().CalcSettings;
    QSettings store(Tevra::SettingsOrganization, Tevra::SettingsApplication);
    store.remove(QStringLiteral("Preferences"));
    store.setValue(QStringLiteral("Preferences/FormatResult"), 6);
    store.setValue(QStringLiteral("Preferences/FormatRandom"), 2);
    store.sync();

    Tevra::LoadPreferences();
    EXPECT_EQ(NCalculatorText::State().CalcSettings.FormatResult, 0u);
    EXPECT_EQ(NCalculatorText::State().CalcSettings.FormatRandom, 2u);

    NCalculatorText::State().CalcSettings.NotationCase = 1;
    NCalculatorText::State().CalcSettings.Modified = true;
    Tevra::SavePreferences();
    QSettings reread(Tevra::SettingsOrganization, Tevra::SettingsApplication);
    EXPECT_EQ(reread.value(QStringLiteral("Preferences/NotationCase")).toInt(), 1);
    EXPECT_EQ(reread.value(QStringLiteral("Preferences/FormatResult")).toInt(), 0);

    reread.remove(QStringLiteral("Preferences"));
    NCalculatorText::State().CalcSettings = saved;
}

TEST(PreferencesProbe, LoadingSetsSSE2AvailableFromTheProcessor)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("p.conf")), QSettings::IniFormat);
    CCalcSettings record;
    record.SSE2Available = !Tevra::ProbeSSE2();
    Tevra::LoadPreferences(record, settings);
    EXPECT_EQ(record.SSE2Available, Tevra::ProbeSSE2());
#if defined(__x86_64__)
    EXPECT_TRUE(record.SSE2Available);
#endif
}

struct NumberCase {
    QVariant Stored;
    std::optional<std::uint32_t> Unsigned;
    std::optional<std::int32_t> Signed;
};

TEST(StoredNumbers, OnlyWholeNumbersInRangeAreTaken)
{
    const NumberCase cases[] = {
        {QStringLiteral("0"), 0u, 0},
        {QStringLiteral("4294967295"), 4294967295u, std::nullopt},
        {QStringLiteral("4294967296"), std::nullopt, std::nullopt},
        {QStringLiteral("-1"), std::nullopt, -1},
        {QStringLiteral("-2147483648"), std::nullopt, std::numeric_limits<std::int32_t>::min()},
        {QStringLiteral("-2147483649"), std::nullopt, std::nullopt},
        {QStringLiteral("99999999999999999999999"), std::nullopt, std::nullopt},
        {QStringLiteral("12abc"), std::nullopt, std::nullopt},
        {QStringLiteral("-"), std::nullopt, std::nullopt},
        {QStringLiteral(""), std::nullopt, std::nullopt},
        {QStringLiteral(" 5"), std::nullopt, std::nullopt},
        {QVariant(5), 5u, 5},
        {QVariant(-5), std::nullopt, -5},
        {QVariant(2.5), std::nullopt, std::nullopt},
        {QVariant(true), std::nullopt, std::nullopt},
        {QVariant(), std::nullopt, std::nullopt},
    };
    for (const NumberCase& row : cases) {
        const std::string shown = row.Stored.toString().toStdString();
        EXPECT_EQ(Tevra::StoredUInt32(row.Stored), row.Unsigned) << shown;
        EXPECT_EQ(Tevra::StoredInt32(row.Stored), row.Signed) << shown;
    }
}

// What stands at the store's path decides whether the settings can be saved;
// the file is only looked at, never read or changed.
TEST(PrefsStoreProblem, NamesWhatKeepsTheSettingsFromBeingSaved)
{
    const QString path = Tevra::ProgramSettings().fileName();
    const QByteArray large(Tevra::LargestSettingsFile + 1, 'x');
    struct Row {
        const char* Label;
        QByteArray Content;  // of a file at the path; null for a folder
        QFile::Permissions Permissions;
        const char* Cause;
        bool TooLarge;
    };
    const auto readWrite = QFile::ReadOwner | QFile::WriteOwner;
    const Row rows[] = {
        {"a folder", QByteArray(), readWrite, "is a folder", false},
        {"a file over 1 MB", large, readWrite, "is larger than 1 MB", true},
        {"a file of 1 MB", large.left(Tevra::LargestSettingsFile), readWrite, "", false},
        {"a file that is not writable", QByteArray("[General]\n"), QFile::ReadOwner, "is not writable", false},
        {"a good file", QByteArray("[General]\n"), readWrite, "", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Label);
        QFile::remove(path);
        QDir().rmdir(path);
        if (row.Content.isNull()) {
            ASSERT_TRUE(QDir().mkpath(path));
        } else {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(row.Content);
            file.close();
            ASSERT_TRUE(file.setPermissions(row.Permissions));
        }
        if (row.Permissions == QFile::ReadOwner && QFileInfo(path).isWritable())
            continue;  // the superuser writes every file
        const QString problem = Tevra::SettingsStoreProblem();
        if (*row.Cause == '\0') {
            EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
        } else {
            EXPECT_TRUE(problem.startsWith(path)) << problem.toStdString();
            EXPECT_TRUE(problem.endsWith(QString::fromLatin1(row.Cause))) << problem.toStdString();
        }
        EXPECT_EQ(Tevra::SettingsStoreTooLarge(), row.TooLarge);
        if (!row.Content.isNull()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), row.Content);
        }
    }
    QFile::setPermissions(path, readWrite);
    QFile::remove(path);
    QDir().rmdir(path);
}

}  // namespace
