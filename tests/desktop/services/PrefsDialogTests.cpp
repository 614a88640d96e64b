// The Preferences dialog and the trigonometric-units lists, driven as a user
// would drive them.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "desktop/services/CCalcPreferences.h"
#include "desktop/services/CCalcSettingsNotifier.h"
#include "desktop/services/CCalcTrigonometricUnits.h"

namespace {

using Tevra::CCalcSettings;

QPushButton* Button(const QDialog& dialog, const QString& text)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

void Click(QDialog& dialog, const QString& buttonText)
{
    QPushButton* button = Button(dialog, buttonText);
    ASSERT_NE(button, nullptr) << buttonText.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

QCheckBox* Check(const QDialog& dialog, const char* name)
{
    return dialog.findChild<QCheckBox*>(QString::fromLatin1(name));
}

QComboBox* List(const QDialog& dialog, const char* name)
{
    return dialog.findChild<QComboBox*>(QString::fromLatin1(name));
}

// Clicks a check box where a user would: on its indicator.
void Toggle(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

bool SameFields(const CCalcSettings& a, const CCalcSettings& b)
{
    for (const Tevra::SettingField& field : Tevra::SettingFields)
        if (a.*field.Field != b.*field.Field)
            return false;
    return true;
}

CCalcSettings NonDefaultRecord()
{
    CCalcSettings record;
    record.AppendFunction = 0;
    record.AppendFunctionWith = 2;
    record.AppendIncludePower = 0;
    record.FormatResult = 4;
    record.FormatMemory = 3;
    record.FormatRandom = 5;
    record.Notation = 1;
    record.NotationCase = 1;
    record.GammaFunction = 1;
    record.LogPopup = 0;
    record.TrigonometricUnits = 2;
    record.UseSSE2 = 1;
    record.FreeConfirmation = 1;
    record.DigitsInResults = 15;
    record.KeepMemory = 1;
    return record;
}

class PreferencesDialog : public ::testing::Test {
protected:
    void SetUp() override { CCalcPreferences::forgetRememberedPartialConfirmation(); }
    void TearDown() override { CCalcPreferences::forgetRememberedPartialConfirmation(); }
};

TEST_F(PreferencesDialog, HasEveryControlWithItsTexts)
{
    CCalcSettings record;
    CCalcPreferences dialog(record);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Preferences"));

    const std::pair<const char*, const char*> checks[] = {
        {"AppendFunction", "Append functions with"},
        {"AppendIncludePower", "including power ^"},
        {"AppendMemory", "Append memory with"},
        {"GammaFunction", "Gamma function intead of factorial"},
        {"LogPopup", "Pop-up on new message if hidden"},
        {"FreeConfirmation", "Memory free confirmation"},
        {"PartialFreeConfirmation", "Partial free confirmation as well"},
        {"UseSSE2", "Use SSE2 processor module"},
        {"KeepMemory", "Keep memory between sessions"},
    };
    for (const auto& [name, text] : checks) {
        QCheckBox* box = Check(dialog, name);
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->text(), QString::fromUtf8(text)) << name;
    }

    struct ListCase {
        const char* Name;
        const char* Label;  // nullptr: beside a check box
        QStringList Entries;
    };
    const ListCase lists[] = {
        {"AppendFunctionWith", nullptr, {"(", "[", "{"}},
        {"AppendMemoryWith", nullptr, {"(", "[", "{"}},
        {"FormatResult", "Result format", {"Rslt", "rslt", "RSLT", "Result", "result", "RESULT"}},
        {"FormatMemory", "Memory format", {"Mem", "mem", "MEM", "Memory", "memory", "MEMORY"}},
        {"FormatRandom", "Random number format", {"Rand", "rand", "RAND", "Random", "random", "RANDOM"}},
        {"Notation", "Notation", {"West", "East"}},
        {"NotationCase", "Case", {"Lower", "Upper"}},
        {"TrigonometricUnits", "Trigonometric units", {"Radians", "Degrees", "Grads"}},
        {"DigitsInResults", "Digits in results", {"20", "17", "15", "12", "6"}},
    };
    for (const ListCase& row : lists) {
        QComboBox* list = List(dialog, row.Name);
        ASSERT_NE(list, nullptr) << row.Name;
        QStringList entries;
        for (int i = 0; i < list->count(); ++i)
            entries << list->itemText(i);
        EXPECT_EQ(entries, row.Entries) << row.Name;
        if (row.Label == nullptr)
            continue;
        bool labelled = false;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            labelled = labelled || (label->text() == QString::fromUtf8(row.Label) && label->buddy() == list);
        EXPECT_TRUE(labelled) << row.Name;
    }

    QStringList groups;
    for (QGroupBox* box : dialog.findChildren<QGroupBox*>())
        groups << box->title();
    EXPECT_EQ(groups, (QStringList{"Keypad", "Log", "Calculation"}));
    for (const char* text : {"OK", "Cancel", "Default"})
        EXPECT_NE(Button(dialog, QString::fromLatin1(text)), nullptr) << text;
}

TEST_F(PreferencesDialog, OkCopiesEveryControlIntoTheRecord)
{
    CCalcSettings record;
    CCalcPreferences dialog(record);
    const CCalcSettings wanted = NonDefaultRecord();
    for (const Tevra::SettingField& field : Tevra::SettingFields) {
        const QString name = QString::fromLatin1(field.Name.data(), static_cast<qsizetype>(field.Name.size()));
        if (auto* list = dialog.findChild<QComboBox*>(name); list && !field.Choices.empty())
            list->setCurrentText(QString::number(wanted.*field.Field));
        else if (list)
            list->setCurrentIndex(static_cast<int>(wanted.*field.Field));
        else if (field.Field != &CCalcSettings::FreeConfirmation)
            dialog.findChild<QCheckBox*>(name)->setChecked(wanted.*field.Field != 0);
    }
    Check(dialog, "PartialFreeConfirmation")->setChecked(false);
    Click(dialog, QStringLiteral("OK"));

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(SameFields(record, wanted));
    EXPECT_TRUE(record.Modified);
}

TEST_F(PreferencesDialog, OpeningShowsTheRecord)
{
    CCalcSettings record = NonDefaultRecord();
    CCalcPreferences dialog(record);
    EXPECT_FALSE(Check(dialog, "AppendFunction")->isChecked());
    EXPECT_EQ(List(dialog, "AppendFunctionWith")->currentIndex(), 2);
    EXPECT_EQ(List(dialog, "FormatResult")->currentText(), QStringLiteral("result"));
    EXPECT_EQ(List(dialog, "TrigonometricUnits")->currentText(), QStringLiteral("Grads"));
    EXPECT_TRUE(Check(dialog, "FreeConfirmation")->isChecked());
    EXPECT_FALSE(Check(dialog, "PartialFreeConfirmation")->isChecked());
    EXPECT_TRUE(Check(dialog, "PartialFreeConfirmation")->isEnabled());
    EXPECT_EQ(List(dialog, "DigitsInResults")->currentText(), QStringLiteral("15"));
    EXPECT_TRUE(Check(dialog, "KeepMemory")->isChecked());
}

TEST_F(PreferencesDialog, DigitsListShowsEachChoiceAndStoresItsCount)
{
    struct Row {
        std::uint32_t Stored;
        QString Shown;
        std::uint32_t AfterOk;
    };
    const Row rows[] = {{20, "20", 20}, {17, "17", 17}, {15, "15", 15}, {12, "12", 12},
                        {6, "6", 6},    {13, "20", 20}, {0, "20", 20}};
    for (const Row& row : rows) {
        CCalcSettings record;
        record.DigitsInResults = row.Stored;
        CCalcPreferences dialog(record);
        EXPECT_EQ(List(dialog, "DigitsInResults")->currentText(), row.Shown) << row.Stored;
        Click(dialog, QStringLiteral("OK"));
        EXPECT_EQ(record.DigitsInResults, row.AfterOk) << row.Stored;
    }
    CCalcSettings record;
    CCalcPreferences dialog(record);
    List(dialog, "DigitsInResults")->setCurrentIndex(4);
    Click(dialog, QStringLiteral("OK"));
    EXPECT_EQ(record.DigitsInResults, 6u);
    EXPECT_EQ(record.ResultDigits(), 6);
}

TEST_F(PreferencesDialog, CancelAfterDefaultChangesNothing)
{
    CCalcSettings record = NonDefaultRecord();
    const CCalcSettings before = record;
    CCalcPreferences dialog(record);
    Click(dialog, QStringLiteral("Default"));
    EXPECT_EQ(List(dialog, "FormatResult")->currentIndex(), 0);
    EXPECT_TRUE(Check(dialog, "PartialFreeConfirmation")->isChecked());
    Click(dialog, QStringLiteral("Cancel"));

    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(SameFields(record, before));
    EXPECT_FALSE(record.Modified);
}

TEST_F(PreferencesDialog, DefaultThenOkStoresTheDefaults)
{
    CCalcSettings record = NonDefaultRecord();
    CCalcPreferences dialog(record);
    Click(dialog, QStringLiteral("Default"));
    Click(dialog, QStringLiteral("OK"));
    EXPECT_TRUE(SameFields(record, CCalcSettings{}));
    EXPECT_EQ(record.FreeConfirmation, 2u);
    EXPECT_TRUE(record.Modified);
}

TEST_F(PreferencesDialog, UncheckingAndRecheckingConfirmationRestoresPartial)
{
    CCalcSettings record;  // FreeConfirmation 2
    CCalcPreferences dialog(record);
    QCheckBox* main = Check(dialog, "FreeConfirmation");
    QCheckBox* partial = Check(dialog, "PartialFreeConfirmation");

    Toggle(main);
    EXPECT_FALSE(main->isChecked());
    EXPECT_FALSE(partial->isChecked());
    EXPECT_FALSE(partial->isEnabled());

    Toggle(main);
    EXPECT_TRUE(main->isChecked());
    EXPECT_TRUE(partial->isChecked());
    EXPECT_TRUE(partial->isEnabled());
}

TEST_F(PreferencesDialog, OkWithConfirmationUncheckedStoresZero)
{
    CCalcSettings record;
    CCalcPreferences dialog(record);
    Toggle(Check(dialog, "FreeConfirmation"));
    Click(dialog, QStringLiteral("OK"));
    EXPECT_EQ(record.FreeConfirmation, 0u);
}

TEST_F(PreferencesDialog, ConfirmationLevelsFromTheTwoBoxes)
{
    struct Case {
        std::uint32_t Stored;
        bool Main;
        bool Partial;
        bool PartialEnabled;
        std::uint32_t AfterOk;
    };
    const Case cases[] = {
        {0, false, false, false, 0}, {1, true, false, true, 1}, {2, true, true, true, 2}, {7, true, true, true, 2}};
    for (const Case& row : cases) {
        CCalcSettings record;
        record.FreeConfirmation = row.Stored;
        CCalcPreferences dialog(record);
        EXPECT_EQ(Check(dialog, "FreeConfirmation")->isChecked(), row.Main) << row.Stored;
        EXPECT_EQ(Check(dialog, "PartialFreeConfirmation")->isChecked(), row.Partial) << row.Stored;
        EXPECT_EQ(Check(dialog, "PartialFreeConfirmation")->isEnabled(), row.PartialEnabled) << row.Stored;
        Click(dialog, QStringLiteral("OK"));
        EXPECT_EQ(record.FreeConfirmation, row.AfterOk) << row.Stored;
    }
}

TEST_F(PreferencesDialog, PartialStateIsRememberedForTheRestOfTheRun)
{
    CCalcSettings record;  // both confirmations
    {
        CCalcPreferences first(record);
        Toggle(Check(first, "FreeConfirmation"));
        Click(first, QStringLiteral("OK"));
    }
    ASSERT_EQ(record.FreeConfirmation, 0u);

    CCalcPreferences second(record);
    QCheckBox* partial = Check(second, "PartialFreeConfirmation");
    EXPECT_FALSE(partial->isChecked());
    Toggle(Check(second, "FreeConfirmation"));
    EXPECT_TRUE(partial->isChecked());
    EXPECT_TRUE(partial->isEnabled());
    Click(second, QStringLiteral("OK"));
    EXPECT_EQ(record.FreeConfirmation, 2u);
}

TEST_F(PreferencesDialog, FirstClickRemembersThePartialBoxAsShown)
{
    CCalcSettings record;
    record.FreeConfirmation = 0;
    CCalcPreferences dialog(record);
    Toggle(Check(dialog, "FreeConfirmation"));
    EXPECT_FALSE(Check(dialog, "PartialFreeConfirmation")->isChecked());
    EXPECT_TRUE(Check(dialog, "PartialFreeConfirmation")->isEnabled());
}

TEST_F(PreferencesDialog, SSE2BoxIsDisabledWithoutSSE2)
{
    for (const bool available : {true, false}) {
        CCalcSettings record;
        record.SSE2Available = available;
        record.UseSSE2 = 1;
        CCalcPreferences dialog(record);
        EXPECT_EQ(Check(dialog, "UseSSE2")->isEnabled(), available);
        Click(dialog, QStringLiteral("OK"));
        EXPECT_EQ(record.UseSSE2, 1u) << "the stored switch is kept";
    }
}

TEST(TrigonometricUnits, ChoosingInOneListMovesTheOtherAndSetsModified)
{
    CCalcSettings record;
    CCalcSettingsNotifier settings(record);
    CCalcUnitsStep step(settings);
    QComboBox toolbarList;
    step.attachList(&toolbarList);
    QWidget frame;
    CCalcTrigonometricUnits window(step, &frame);
    QSignalSpy changed(&step, &CCalcUnitsStep::unitsChanged);

    EXPECT_EQ(window.windowTitle(), QStringLiteral("Trigonometric function"));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(toolbarList.count(), 3);
    EXPECT_EQ(toolbarList.itemText(1), QStringLiteral("Degrees"));
    EXPECT_EQ(window.list()->currentIndex(), 0);

    // The user picks "Grads" in the tool window.
    window.list()->setCurrentIndex(2);
    emit window.list()->activated(2);
    EXPECT_EQ(record.TrigonometricUnits, 2u);
    EXPECT_TRUE(record.Modified);
    EXPECT_EQ(toolbarList.currentIndex(), 2);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 2);
}

TEST(TrigonometricUnits, ToolWindowReportsItsVisibility)
{
    CCalcSettings record;
    CCalcSettingsNotifier settings(record);
    CCalcUnitsStep step(settings);
    QWidget frame;
    CCalcTrigonometricUnits window(step, &frame);
    QSignalSpy visibility(&window, &CCalcTrigonometricUnits::visibilityChanged);
    window.show();
    window.close();
    ASSERT_EQ(visibility.count(), 2);
    EXPECT_TRUE(visibility.at(0).at(0).toBool());
    EXPECT_FALSE(visibility.at(1).at(0).toBool());
    EXPECT_FALSE(window.isVisible());
}

TEST(TrigonometricUnits, RefreshFollowsTheRecordWithoutSettingModified)
{
    CCalcSettings record;
    CCalcSettingsNotifier settings(record);
    CCalcUnitsStep step(settings);
    QComboBox list;
    step.attachList(&list);
    record.TrigonometricUnits = 1;
    step.refresh();
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_FALSE(record.Modified);

    step.choose(3);
    EXPECT_EQ(record.TrigonometricUnits, 1u);
    EXPECT_FALSE(record.Modified);
}

}  // namespace
