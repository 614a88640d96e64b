// The keypad's look: the stored values and their defaults, garbage, the
// effective style, the font and colour commands with their check marks.
#include "support/KeypadSupport.h"

#include <QStyleFactory>

namespace {

using Keypad::ColourGroup;
using enum Keypad::ColourAspect;

int Dpi(const CCalcKeyPad& keypad)
{
    return keypad.logicalDpiY() > 0 ? keypad.logicalDpiY() : 96;
}

TEST(KeypadStyles, EffectiveStyleFromStoredStyleAndTheme)
{
    struct Row {
        std::optional<std::uint32_t> stored;
        bool theme;
        Keypad::Style effective;
    };
    const Row rows[] = {
        {0, true, Keypad::StyleVista},
        {0, false, Keypad::Style2000},
        {1, true, Keypad::StyleVossek},
        {1, false, Keypad::StyleVossek},
        {2, true, Keypad::StyleXP},
        {2, false, Keypad::StyleVossek},
        {3, true, Keypad::StyleVista},
        {3, false, Keypad::StyleVossek},
        {7, true, Keypad::StyleVossek},
        {7, false, Keypad::StyleVossek},
        {std::nullopt, true, Keypad::StyleVossek},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Keypad::EffectiveStyle(Keypad::StoredStyle(row.stored), row.theme), row.effective)
            << row.stored.value_or(99) << " theme " << row.theme;
    }
}

TEST(KeypadColours, StoredWithRedInTheLowByte)
{
    EXPECT_EQ(Keypad::ToStoredColour(qRgb(255, 128, 192)), 0xC080FFu);
    EXPECT_EQ(Keypad::FromStoredColour(0x400080u), qRgb(128, 0, 64));
    EXPECT_FALSE(Keypad::FromStoredColour(0x1000000u).has_value());
    EXPECT_FALSE(Keypad::FromStoredColour(std::nullopt).has_value());
}

TEST(KeypadFonts, OnlyUsableSpecsMakeAFont)
{
    struct Row {
        const char* name;
        Keypad::FontFields fields;
        bool usable;
    };
    const Row rows[] = {
        {"the default", {"Arial", -15, 800, false}, true},
        {"a face that is not installed is drawn in another", {"No Such Face", -15, 400, false}, true},
        {"positive height", {"Arial", 15, 400, true}, true},
        {"weight 0 means normal", {"Arial", -15, 0, false}, true},
        {"no face", {"", -15, 800, false}, false},
        {"blank face", {"   ", -15, 800, false}, false},
        {"face too long", {QString(40, u'x'), -15, 800, false}, false},
        {"control character in the face", {QStringLiteral("Ari\x01l"), -15, 800, false}, false},
        {"height 0", {"Arial", 0, 800, false}, false},
        {"far too tall", {"Arial", -100000, 800, false}, false},
        {"weight beyond 1000", {"Arial", -15, 1001, false}, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Keypad::MakeFont(row.fields).has_value(), row.usable) << row.name;
    const QFont font = *Keypad::MakeFont({"Arial", -15, 800, true});
    EXPECT_EQ(font.pixelSize(), 15);
    EXPECT_EQ(font.weight(), QFont::ExtraBold);
    EXPECT_TRUE(font.italic());
}

TEST_F(KeypadTest, AFirstStartIsVossekArialExtraBold11PointsInThreeColourGroups)
{
    EXPECT_EQ(keypad->appearance().StoredStyle, Keypad::StyleVossek);
    EXPECT_EQ(keypad->effectiveStyle(), Keypad::StyleVossek);
    EXPECT_TRUE(keypad->defaultFontInUse());
    EXPECT_FALSE(keypad->systemFontInUse());
    EXPECT_EQ(keypad->keypadFont().family(), QStringLiteral("Arial"));
    EXPECT_EQ(keypad->keypadFont().pixelSize(), (11 * Dpi(*keypad) + 36) / 72);
    EXPECT_EQ(keypad->keypadFont().weight(), 800);
    const std::map<int, std::pair<QRgb, QRgb>> colours = {
        {1029, {qRgb(255, 128, 192), qRgb(128, 0, 64)}}, {1018, {qRgb(255, 128, 192), qRgb(128, 0, 64)}},
        {1007, {qRgb(144, 208, 255), qRgb(0, 64, 128)}}, {1048, {qRgb(144, 208, 255), qRgb(0, 64, 128)}},
        {1001, {qRgb(192, 192, 192), qRgb(64, 64, 64)}}, {1064, {qRgb(192, 192, 192), qRgb(64, 64, 64)}},
    };
    for (const auto& [id, pair] : colours) {
        EXPECT_EQ(keypad->button(id)->shownBackground().rgb(), pair.first) << id;
        EXPECT_EQ(keypad->button(id)->shownText().rgb(), pair.second) << id;
    }
}

TEST_F(KeypadTest, TheLookSurvivesARestart)
{
    keypad->setStoredStyle(Keypad::StyleXP);
    prompts.colourAnswers = {QColor(10, 20, 30), QColor(200, 100, 50)};
    keypad->chooseColour(Text, ColourGroup::Digit);
    keypad->chooseColour(Background, ColourGroup::Service);
    prompts.fontAnswer = QFont(QStringLiteral("DejaVu Serif"), 14, QFont::Normal, true);
    keypad->selectFont();
    const Keypad::Appearance before = keypad->appearance();
    EXPECT_EQ(before.Font.Face, QStringLiteral("DejaVu Serif"));
    EXPECT_TRUE(before.Font.Italic);

    makeKeypad();
    EXPECT_EQ(keypad->appearance(), before);
    EXPECT_EQ(keypad->button(1013)->shownText().rgb(), qRgb(10, 20, 30));
    EXPECT_EQ(keypad->button(1001)->shownBackground().rgb(), qRgb(200, 100, 50));
    EXPECT_EQ(keypad->keypadFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_FALSE(keypad->defaultFontInUse());
    EXPECT_EQ(prompts.fontFailures, 0);

    EXPECT_EQ(StoredKeypadValue("Style").toInt(), 2);
    EXPECT_EQ(StoredKeypadValue("ColorTextDigit").toUInt(), 0x1E140Au);
    EXPECT_EQ(StoredKeypadValue("ColorService").toUInt(), 0x3264C8u);
    EXPECT_EQ(StoredKeypadValue("FontItalic").toInt(), 1);
    EXPECT_LT(StoredKeypadValue("FontSize").toInt(), 0);
}

TEST_F(KeypadTest, GarbageInEveryValueGivesTheDefaultsWithoutAMessage)
{
    restartWith([] {
        for (const char* key :
             {"FontSize", "FontWeight", "FontItalic", "ColorTextFunction", "ColorTextDigit", "ColorTextService",
              "ColorFunction", "ColorDigit", "ColorService", "ColorTextSystem", "ColorSystem", "Style"})
            StoreKeypadValue(key, QStringLiteral("garbage \x01"));
        StoreKeypadValue("FontFace", QStringList{"a", "list"});
    });
    keypad->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(keypad->defaultFontInUse());
    EXPECT_EQ(keypad->appearance().Colour, Keypad::DefaultColours());
    EXPECT_EQ(keypad->effectiveStyle(), Keypad::StyleVossek);
    EXPECT_EQ(prompts.fontFailures, 0);
}

TEST_F(KeypadTest, OutOfRangeValuesGiveTheirDefaults)
{
    restartWith([] {
        StoreKeypadValue("Style", 7);
        StoreKeypadValue("ColorDigit", 0x1000000);
        StoreKeypadValue("ColorSystem", 2);
        StoreKeypadValue("FontWeight", 5000);
        StoreKeypadValue("FontItalic", -1);
        StoreKeypadValue("ColorFunction", 0xFF);  // valid: red
    });
    EXPECT_EQ(keypad->appearance().StoredStyle, Keypad::StyleVossek);
    Keypad::Colours expected = Keypad::DefaultColours();
    expected.Background[0] = qRgb(255, 0, 0);
    EXPECT_EQ(keypad->appearance().Colour, expected);
    EXPECT_TRUE(keypad->defaultFontInUse());
}

TEST_F(KeypadTest, AStoredFontThatCannotBeUsedIsSaidOnceShownAndTheDefaultStandsIn)
{
    for (const auto& [key, value] :
         {std::pair<const char*, QVariant>{"FontFace", QString()}, std::pair<const char*, QVariant>{"FontSize", 0},
          std::pair<const char*, QVariant>{"FontSize", -90000}}) {
        SCOPED_TRACE(key);
        restartWith([&key = key, &value = value] {
            Tevra::ProgramSettings().clear();
            StoreKeypadValue(key, value);
        });
        prompts.fontFailures = 0;
        EXPECT_TRUE(keypad->defaultFontInUse());
        EXPECT_EQ(prompts.fontFailures, 0) << "not before the panel is shown";
        keypad->show();
        QCoreApplication::processEvents();
        EXPECT_EQ(prompts.fontFailures, 1);
        keypad->hide();
        keypad->show();
        QCoreApplication::processEvents();
        EXPECT_EQ(prompts.fontFailures, 1) << "said once";
    }
}

TEST_F(KeypadTest, FontCommandsSetTheirFlags)
{
    keypad->useSystemFont();
    EXPECT_TRUE(keypad->systemFontInUse());
    EXPECT_FALSE(keypad->defaultFontInUse());
    EXPECT_EQ(keypad->keypadFont().family(), keypad->font().family());
    const int systemWidth = keypad->width();
    keypad->useDefaultFont();
    EXPECT_TRUE(keypad->defaultFontInUse());
    EXPECT_FALSE(keypad->systemFontInUse());
    EXPECT_NE(keypad->width(), systemWidth) << "a new font lays the buttons out again";

    prompts.fontAnswer.reset();
    keypad->selectFont();
    EXPECT_TRUE(keypad->defaultFontInUse()) << "a cancelled dialog changes nothing";
    prompts.fontAnswer = QFont(QStringLiteral("DejaVu Sans"), 9);
    keypad->selectFont();
    EXPECT_FALSE(keypad->defaultFontInUse());
    EXPECT_FALSE(keypad->systemFontInUse());
    EXPECT_EQ(keypad->button(1001)->font().family(), QStringLiteral("DejaVu Sans"));
}

TEST_F(KeypadTest, ColourCommandsApplyToTheirGroupAndTheSwitches)
{
    prompts.colourAnswers = {QColor(1, 2, 3)};
    keypad->chooseColour(Background, ColourGroup::Function);
    EXPECT_EQ(keypad->button(1029)->shownBackground().rgb(), qRgb(1, 2, 3));
    EXPECT_EQ(keypad->button(1018)->shownBackground().rgb(), qRgb(1, 2, 3));
    EXPECT_EQ(keypad->button(1007)->shownBackground().rgb(), qRgb(144, 208, 255)) << "another group";
    EXPECT_FALSE(Keypad::ColoursAreDefault(keypad->appearance().Colour, Background));

    keypad->chooseColour(Background, ColourGroup::Digit);  // cancelled
    EXPECT_EQ(keypad->button(1007)->shownBackground().rgb(), qRgb(144, 208, 255));

    keypad->useSystemColours(Text);
    EXPECT_TRUE(keypad->appearance().Colour.SystemText);
    for (CColorButton* button : keypad->buttons()) {
        EXPECT_TRUE(button->usesSystemText());
        EXPECT_EQ(button->shownText(), button->palette().color(QPalette::ButtonText));
    }
    EXPECT_FALSE(Keypad::ColoursAreDefault(keypad->appearance().Colour, Text));

    // Default after System brings the three default text colours back.
    keypad->useDefaultColours(Text);
    EXPECT_FALSE(keypad->appearance().Colour.SystemText);
    EXPECT_TRUE(Keypad::ColoursAreDefault(keypad->appearance().Colour, Text));
    EXPECT_EQ(keypad->button(1001)->shownText().rgb(), qRgb(64, 64, 64));

    // One group's colour chosen while the system's are shown: every group
    // shows its own colour again, as after a restart.
    keypad->useSystemColours(Background);
    prompts.colourAnswers = {QColor(9, 9, 9)};
    keypad->chooseColour(Background, ColourGroup::Service);
    EXPECT_EQ(keypad->button(1001)->shownBackground().rgb(), qRgb(9, 9, 9));
    EXPECT_EQ(keypad->button(1029)->shownBackground().rgb(), qRgb(1, 2, 3));
    EXPECT_EQ(prompts.coloursAsked.back(), keypad->palette().color(QPalette::Button))
        << "the dialog starts on the colour shown";
    keypad->useDefaultColours(Background);
    EXPECT_TRUE(Keypad::ColoursAreDefault(keypad->appearance().Colour, Background));
}

TEST_F(KeypadTest, WithoutAThemeXPAndVistaPaintAsVossekAndTheClassicStylePaints2000)
{
    std::unique_ptr<QStyle> classic(QStyleFactory::create(QStringLiteral("windows")));
    ASSERT_NE(classic, nullptr);
    keypad->setStoredStyle(Keypad::StyleXP);
    EXPECT_TRUE(keypad->themeActive());
    EXPECT_EQ(keypad->button(1001)->paintingStyle(), Keypad::StyleXP);
    keypad->setStyle(classic.get());
    EXPECT_FALSE(keypad->themeActive());
    EXPECT_EQ(keypad->effectiveStyle(), Keypad::StyleVossek);
    EXPECT_EQ(keypad->button(1001)->paintingStyle(), Keypad::StyleVossek);
    keypad->setStoredStyle(Keypad::Style2000);
    EXPECT_EQ(keypad->button(1001)->paintingStyle(), Keypad::Style2000);
    keypad->setStyle(nullptr);
    EXPECT_EQ(keypad->effectiveStyle(), Keypad::StyleVista);
    EXPECT_EQ(keypad->button(1001)->paintingStyle(), Keypad::StyleVista);
}

}  // namespace
