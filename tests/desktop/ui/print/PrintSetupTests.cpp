// The print settings and the page setup: persistence with its checked reads,
// font descriptions, margin units, the Items bits in and out of the dialog and
// the two font groups.
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/print/CCalcPageSetup.h"
#include "desktop/ui/print/CalcPrintSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

using namespace CalcPrintItems;

class PrintSettingsStore : public ::testing::Test {
protected:
    void SetUp() override { Tevra::ProgramSettings().remove(QStringLiteral("Print")); }
    void TearDown() override { Tevra::ProgramSettings().remove(QStringLiteral("Print")); }

    static CalcPrintSettings Load()
    {
        QSettings store = Tevra::ProgramSettings();
        return LoadPrintSettings(store);
    }
};

TEST_F(PrintSettingsStore, AnEmptyStoreGivesTheDefaults)
{
    const CalcPrintSettings loaded = Load();
    EXPECT_EQ(loaded, CalcPrintSettings{});
    EXPECT_EQ(loaded.MarginLeft, 250000);
    EXPECT_EQ(loaded.MarginTop, 150000);
    EXPECT_EQ(loaded.Items, 431u);
    EXPECT_EQ(loaded.TextFont, (CalcPrintFont{QStringLiteral("Courier New"), 12, 400, false}));
    EXPECT_EQ(loaded.ServiceFont, (CalcPrintFont{QStringLiteral("Times New Roman"), 10, 400, true}));
}

TEST_F(PrintSettingsStore, WhatIsSavedIsLoadedBack)
{
    CalcPrintSettings settings;
    settings.MarginLeft = 1;
    settings.MarginTop = 2;
    settings.MarginRight = 3;
    settings.MarginBottom = 10'000'000;
    settings.Items = 15;
    settings.TextFont = {QStringLiteral("DejaVu Sans Mono"), 9, 700, true};
    settings.ServiceFont = {QStringLiteral("Liberation Sans"), 14, 300, false};
    {
        QSettings store = Tevra::ProgramSettings();
        SavePrintSettings(settings, store);
    }
    EXPECT_EQ(Load(), settings);
    EXPECT_EQ(Tevra::ProgramSettings().value(QStringLiteral("Print/TextFontItalic")).toInt(), 1);
}

TEST_F(PrintSettingsStore, DamagedValuesFallBackToTheirDefaults)
{
    struct Row {
        const char* key;
        QVariant stored;
        std::function<bool(const CalcPrintSettings&)> expected;
    };
    const Row rows[] = {
        {"MarginLeft", "wide", [](const auto& s) { return s.MarginLeft == 250000; }},
        {"MarginLeft", "-5", [](const auto& s) { return s.MarginLeft == 250000; }},
        {"MarginTop", 10'000'001, [](const auto& s) { return s.MarginTop == 150000; }},
        {"MarginRight", 0, [](const auto& s) { return s.MarginRight == 0; }},
        {"Items", 5, [](const auto& s) { return s.Items == 5; }},
        {"Items", "all", [](const auto& s) { return s.Items == 431; }},
        {"TextFontItalic", 2, [](const auto& s) { return s.TextFont.Italic; }},
        {"ServiceFontItalic", 0, [](const auto& s) { return !s.ServiceFont.Italic; }},
        {"ServiceFontItalic", 7, [](const auto& s) { return s.ServiceFont.Italic; }},
        {"TextFontSize", 0, [](const auto& s) { return s.TextFont.Size == 12; }},
        {"TextFontSize", 1001, [](const auto& s) { return s.TextFont.Size == 12; }},
        {"ServiceFontWeight", 700, [](const auto& s) { return s.ServiceFont.Weight == 700; }},
        {"ServiceFontWeight", 0, [](const auto& s) { return s.ServiceFont.Weight == 400; }},
        {"TextFontFace", "", [](const auto& s) { return s.TextFont.Face == QStringLiteral("Courier New"); }},
        {"TextFontFace", QStringList{"a", "b"},
         [](const auto& s) { return s.TextFont.Face == QStringLiteral("Courier New"); }},
        {"ServiceFontFace", "Arial", [](const auto& s) { return s.ServiceFont.Face == QStringLiteral("Arial"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.key << " = " << row.stored.toString().toStdString());
        Tevra::ProgramSettings().remove(QStringLiteral("Print"));
        Tevra::ProgramSettings().setValue(QStringLiteral("Print/") + QLatin1String(row.key), row.stored);
        EXPECT_TRUE(row.expected(Load()));
    }
}

TEST(PrintFonts, DescriptionsNameFaceSizeBoldAndItalic)
{
    struct Row {
        CalcPrintFont font;
        const char* description;
    };
    const Row rows[] = {
        {{QStringLiteral("Times New Roman"), 10, 400, true}, "Times New Roman 10 pt, italic"},
        {{QStringLiteral("Courier New"), 12, 400, false}, "Courier New 12 pt"},
        {{QStringLiteral("Courier New"), 12, 700, false}, "Courier New 12 pt, bold"},
        {{QStringLiteral("Arial"), 8, 401, true}, "Arial 8 pt, bold, italic"},
        {{QStringLiteral("Arial"), 8, 300, false}, "Arial 8 pt"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(DescribeFont(row.font), QString::fromUtf8(row.description));
}

TEST(PageSetupUnits, MarginsConvertWithTheirRounding)
{
    using Units = CCalcPageSetup::Units;
    struct Row {
        std::int64_t margin;
        Units units;
        int shown;
        std::int64_t back;
    };
    const Row rows[] = {
        {250000, Units::Metric, 2500, 250000},
        {250000, Units::Inches, 984, 249936},
        {150000, Units::Metric, 1500, 150000},
        {150000, Units::Inches, 591, 150114},
        {49, Units::Metric, 0, 0},
        {50, Units::Metric, 1, 100},
        {126, Units::Inches, 0, 0},
        {127, Units::Inches, 1, 254},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.margin << (row.units == Units::Metric ? " mm" : " in"));
        EXPECT_EQ(CCalcPageSetup::MarginInDialog(row.margin, row.units), row.shown);
        EXPECT_EQ(CCalcPageSetup::MarginFromDialog(row.shown, row.units), row.back);
    }
    EXPECT_EQ(CCalcPageSetup::UnitsOf(QLocale(QLocale::English, QLocale::UnitedStates)), Units::Inches);
    EXPECT_EQ(CCalcPageSetup::UnitsOf(QLocale(QLocale::German, QLocale::Germany)), Units::Metric);
}

class PageSetupDialog : public ::testing::Test {
protected:
    PageSetupDialog() { printer.setOutputFormat(QPrinter::PdfFormat); }

    std::unique_ptr<CCalcPageSetup> open(const CalcPrintSettings& settings,
                                         CCalcPageSetup::Units units = CCalcPageSetup::Units::Metric)
    {
        auto dialog = std::make_unique<CCalcPageSetup>(settings, printer, units);
        dialog->setFontChooser([this](const QFont& current, QWidget*) -> std::optional<QFont> {
            offered.push_back(current);
            return answer;
        });
        return dialog;
    }

    template <typename T> static T* Control(const CCalcPageSetup& dialog, const char* name)
    {
        T* control = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QPrinter printer;
    std::optional<QFont> answer;
    std::vector<QFont> offered;
};

TEST_F(PageSetupDialog, MarginsShowInTheUnitOfTheMeasurementSystem)
{
    const auto metric = open(CalcPrintSettings{});
    EXPECT_DOUBLE_EQ(Control<QDoubleSpinBox>(*metric, "MarginLeft")->value(), 25.0);
    EXPECT_DOUBLE_EQ(Control<QDoubleSpinBox>(*metric, "MarginTop")->value(), 15.0);
    EXPECT_EQ(metric->settings().MarginLeft, 250000);

    const auto inches = open(CalcPrintSettings{}, CCalcPageSetup::Units::Inches);
    EXPECT_DOUBLE_EQ(Control<QDoubleSpinBox>(*inches, "MarginLeft")->value(), 0.984);
    EXPECT_EQ(inches->settings().MarginLeft, 249936);
    Control<QDoubleSpinBox>(*inches, "MarginRight")->setValue(1.0);
    EXPECT_EQ(inches->settings().MarginRight, 254000);
}

TEST_F(PageSetupDialog, ItemsGoInAndOutOfTheirBoxes)
{
    const auto dialog = open(CalcPrintSettings{});
    for (const char* name : {"FileInfo", "Date", "Time", "Number"})
        EXPECT_TRUE(Control<QCheckBox>(*dialog, name)->isChecked()) << name;
    auto* format = Control<QComboBox>(*dialog, "NumberFormat");
    auto* position = Control<QComboBox>(*dialog, "Position");
    EXPECT_EQ(format->currentText(), QStringLiteral("n of N"));
    EXPECT_EQ(position->currentText(), QStringLiteral("Footer right"));
    EXPECT_EQ(dialog->settings().Items, 431u);

    // Header center and "n" leave the ticked items as they were.
    position->setCurrentIndex(0);
    format->setCurrentIndex(0);
    EXPECT_EQ(position->currentText(), QStringLiteral("Header center"));
    EXPECT_EQ(dialog->settings().Items, FileInfo | Time | Date | Number);

    Control<QCheckBox>(*dialog, "Date")->setChecked(false);
    Control<QCheckBox>(*dialog, "FileInfo")->setChecked(false);
    EXPECT_EQ(dialog->settings().Items, Time | Number);
}

TEST_F(PageSetupDialog, ChoicesBeyondTheListShowTheLastEntry)
{
    CalcPrintSettings settings;
    settings.Items = Number | 7u << 4 | 7u << 7;
    const auto dialog = open(settings);
    EXPECT_EQ(Control<QComboBox>(*dialog, "NumberFormat")->currentIndex(), 2);
    EXPECT_EQ(Control<QComboBox>(*dialog, "Position")->currentIndex(), 3);
    EXPECT_EQ(dialog->settings().Items, Number | 2u << 4 | 3u << 7) << "each choice keeps to its own bits";
}

TEST_F(PageSetupDialog, TheNumberChoicesFollowTheNumberBoxAtOnce)
{
    const auto dialog = open(CalcPrintSettings{});
    auto* number = Control<QCheckBox>(*dialog, "Number");
    auto* format = Control<QComboBox>(*dialog, "NumberFormat");
    auto* position = Control<QComboBox>(*dialog, "Position");
    EXPECT_TRUE(format->isEnabled());
    number->setChecked(false);
    EXPECT_FALSE(format->isEnabled());
    EXPECT_FALSE(position->isEnabled());
    number->setChecked(true);
    EXPECT_TRUE(format->isEnabled());
    EXPECT_TRUE(position->isEnabled());
}

TEST_F(PageSetupDialog, DefaultBoxesAreTickedOnlyForTheExactDefaults)
{
    struct Row {
        CalcPrintFont text;
        CalcPrintFont service;
        bool textDefault, serviceDefault;
    };
    const Row rows[] = {
        {CalcPrintSettings::DefaultTextFont(), CalcPrintSettings::DefaultServiceFont(), true, true},
        {{QStringLiteral("courier new"), 12, 400, false}, CalcPrintSettings::DefaultServiceFont(), false, true},
        {CalcPrintSettings::DefaultTextFont(), {QStringLiteral("Times New Roman"), 10, 400, false}, true, false},
        {{QStringLiteral("Courier New"), 12, 700, false},
         {QStringLiteral("Times New Roman"), 11, 400, true},
         false,
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(DescribeFont(row.text).toStdString() + " / " + DescribeFont(row.service).toStdString());
        CalcPrintSettings settings;
        settings.TextFont = row.text;
        settings.ServiceFont = row.service;
        const auto dialog = open(settings);
        EXPECT_EQ(Control<QCheckBox>(*dialog, "TextFontDefault")->isChecked(), row.textDefault);
        EXPECT_EQ(Control<QCheckBox>(*dialog, "ServiceFontDefault")->isChecked(), row.serviceDefault);
        EXPECT_EQ(Control<QLineEdit>(*dialog, "TextFontDescription")->text(), DescribeFont(row.text));
        EXPECT_EQ(Control<QLineEdit>(*dialog, "ServiceFontDescription")->text(), DescribeFont(row.service));
    }
}

TEST_F(PageSetupDialog, AChosenFontReplacesTheFontAndTickingDefaultResetsIt)
{
    const auto dialog = open(CalcPrintSettings{});
    QFont bold(QStringLiteral("Courier New"));
    bold.setPointSize(14);
    bold.setWeight(QFont::Bold);
    answer = bold;
    Control<QPushButton>(*dialog, "TextFontSelect")->click();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].family(), QStringLiteral("Courier New"));
    EXPECT_EQ(offered[0].pointSize(), 12);
    auto* description = Control<QLineEdit>(*dialog, "TextFontDescription");
    auto* defaultBox = Control<QCheckBox>(*dialog, "TextFontDefault");
    EXPECT_EQ(description->text(), QStringLiteral("Courier New 14 pt, bold"));
    EXPECT_FALSE(defaultBox->isChecked());
    EXPECT_EQ(dialog->settings().TextFont, (CalcPrintFont{QStringLiteral("Courier New"), 14, 700, false}));

    defaultBox->setChecked(true);
    EXPECT_EQ(description->text(), QStringLiteral("Courier New 12 pt"));
    EXPECT_EQ(dialog->settings().TextFont, CalcPrintSettings::DefaultTextFont());

    // Unticking changes nothing.
    defaultBox->setChecked(false);
    EXPECT_EQ(dialog->settings().TextFont, CalcPrintSettings::DefaultTextFont());

    // Cancel in the font dialog changes nothing either.
    answer.reset();
    dialog->selectServiceFont();
    EXPECT_EQ(dialog->settings().ServiceFont, CalcPrintSettings::DefaultServiceFont());
}

TEST_F(PageSetupDialog, AFaceShownUnderItsSubstituteKeepsItsName)
{
    const auto dialog = open(CalcPrintSettings{});
    // The font dialog lists installed faces: Times New Roman comes back as
    // the face that stands in for it.
    QFont shown(QFontInfo(QFont(QStringLiteral("Times New Roman"))).family());
    shown.setPointSize(10);
    shown.setItalic(true);
    answer = shown;
    dialog->selectServiceFont();
    EXPECT_EQ(dialog->settings().ServiceFont, CalcPrintSettings::DefaultServiceFont());
    EXPECT_TRUE(Control<QCheckBox>(*dialog, "ServiceFontDefault")->isChecked());
}

TEST_F(PageSetupDialog, EveryControlHasAnAccessibleName)
{
    const auto dialog = open(CalcPrintSettings{});
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        if (qobject_cast<QCheckBox*>(control) || qobject_cast<QComboBox*>(control) ||
            qobject_cast<QDoubleSpinBox*>(control) || qobject_cast<QLineEdit*>(control)) {
            if (control->objectName() == QStringLiteral("qt_spinbox_lineedit"))
                continue;
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    }
}

}  // namespace
