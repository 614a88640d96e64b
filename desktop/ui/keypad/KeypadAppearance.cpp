#include "desktop/ui/keypad/KeypadAppearance.h"

#include "desktop/services/PreferencesStore.h"

#include <QFontInfo>
#include <QSettings>

#include <cstdlib>

namespace Keypad {

namespace {

using Tevra::FontFaceKey;
using Tevra::FontItalicKey;
using Tevra::FontSizeKey;
using Tevra::FontWeightKey;
const QString StyleKey = QStringLiteral("Style");
const QString SystemTextKey = QStringLiteral("ColorTextSystem");
const QString SystemBackgroundKey = QStringLiteral("ColorSystem");

// The colour values by group (ColourGroup order).
const std::array<QString, ColourGroupCount> TextKeys = {
    QStringLiteral("ColorTextFunction"), QStringLiteral("ColorTextDigit"), QStringLiteral("ColorTextService")};
const std::array<QString, ColourGroupCount> BackgroundKeys = {
    QStringLiteral("ColorFunction"), QStringLiteral("ColorDigit"), QStringLiteral("ColorService")};

constexpr int DefaultPointSize = 11;
constexpr int DefaultWeight = 800;
constexpr int NormalWeight = 400;
constexpr int MaximumWeight = 1000;
// A face name as a logical font holds it: at most 31 characters.
constexpr qsizetype MaximumFaceLength = 31;
// The tallest keypad font, in pixels; a taller one cannot be used.
constexpr int MaximumPixelHeight = 500;

// The nearest whole number of (number * numerator / denominator).
int MulDiv(int number, int numerator, int denominator)
{
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

bool HasControlCharacters(const QString& text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// A stored switch: 0 or 1; anything else is its default.
bool ReadSwitch(const QSettings& settings, const QString& key, bool fallback)
{
    const auto value = Tevra::ReadStoredUInt32(settings, key);
    if (!value || *value > 1)
        return fallback;
    return *value == 1;
}

}  // namespace

FontFields DefaultFontFields(int dpi)
{
    if (dpi <= 0)
        dpi = 96;
    return {QStringLiteral("Arial"), -MulDiv(DefaultPointSize, dpi, 72), DefaultWeight, false};
}

std::optional<QFont> MakeFont(const FontFields& fields)
{
    const int pixels = std::abs(fields.Height);
    if (fields.Face.trimmed().isEmpty() || fields.Face.size() > MaximumFaceLength ||
        HasControlCharacters(fields.Face) || pixels < 1 || pixels > MaximumPixelHeight || fields.Weight < 0 ||
        fields.Weight > MaximumWeight)
        return std::nullopt;
    QFont font(fields.Face);
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(fields.Weight == 0 ? NormalWeight : fields.Weight));
    font.setItalic(fields.Italic);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

FontFields FieldsOf(const QFont& font)
{
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    return {font.family(), -pixels, static_cast<int>(font.weight()), font.italic()};
}

Style StoredStyle(std::optional<std::uint32_t> value)
{
    if (value && (*value == Style2000 || *value == StyleXP || *value == StyleVista))
        return static_cast<Style>(*value);
    return StyleVossek;
}

Style EffectiveStyle(Style stored, bool themeActive)
{
    switch (stored) {
    case Style2000:
        return themeActive ? StyleVista : Style2000;
    case StyleXP:
    case StyleVista:
        return themeActive ? stored : StyleVossek;
    case StyleVossek:
        break;
    }
    return StyleVossek;
}

std::uint32_t ToStoredColour(QRgb colour)
{
    return static_cast<std::uint32_t>(qRed(colour)) | static_cast<std::uint32_t>(qGreen(colour)) << 8 |
        static_cast<std::uint32_t>(qBlue(colour)) << 16;
}

std::optional<QRgb> FromStoredColour(std::optional<std::uint32_t> value)
{
    if (!value || *value > 0xFFFFFFu)
        return std::nullopt;
    return qRgb(static_cast<int>(*value & 0xFF), static_cast<int>(*value >> 8 & 0xFF),
                static_cast<int>(*value >> 16 & 0xFF));
}

Colours DefaultColours()
{
    Colours colours;
    colours.Background = {qRgb(255, 128, 192), qRgb(144, 208, 255), qRgb(192, 192, 192)};
    colours.Text = {qRgb(128, 0, 64), qRgb(0, 64, 128), qRgb(64, 64, 64)};
    return colours;
}

AspectFields FieldsOf(ColourAspect aspect)
{
    if (aspect == ColourAspect::Text)
        return {&Colours::Text, &Colours::SystemText};
    return {&Colours::Background, &Colours::SystemBackground};
}

bool ColoursAreDefault(const Colours& colours, ColourAspect aspect)
{
    const AspectFields fields = FieldsOf(aspect);
    return !(colours.*fields.System) && colours.*fields.GroupColours == DefaultColours().*fields.GroupColours;
}

QString SettingsGroup()
{
    return QStringLiteral("GUI/Keypad");
}

Appearance ReadAppearance(const QSettings& settings, int dpi)
{
    Appearance appearance;
    const FontFields fallback = DefaultFontFields(dpi);
    const QVariant face = settings.value(FontFaceKey);
    appearance.Font.Face = face.typeId() == QMetaType::QString ? face.toString() : fallback.Face;
    appearance.Font.Height = Tevra::ReadStoredInt32(settings, FontSizeKey).value_or(fallback.Height);
    const auto weight = Tevra::ReadStoredUInt32(settings, FontWeightKey);
    appearance.Font.Weight = weight && *weight <= MaximumWeight ? static_cast<int>(*weight) : fallback.Weight;
    appearance.Font.Italic = ReadSwitch(settings, FontItalicKey, fallback.Italic);

    const Colours defaults = DefaultColours();
    for (std::size_t group = 0; group < ColourGroupCount; ++group) {
        appearance.Colour.Text[group] =
            FromStoredColour(Tevra::ReadStoredUInt32(settings, TextKeys[group])).value_or(defaults.Text[group]);
        appearance.Colour.Background[group] = FromStoredColour(Tevra::ReadStoredUInt32(settings, BackgroundKeys[group]))
                                                  .value_or(defaults.Background[group]);
    }
    appearance.Colour.SystemText = ReadSwitch(settings, SystemTextKey, false);
    appearance.Colour.SystemBackground = ReadSwitch(settings, SystemBackgroundKey, false);
    appearance.StoredStyle = StoredStyle(Tevra::ReadStoredUInt32(settings, StyleKey));
    return appearance;
}

void WriteAppearance(QSettings& settings, const Appearance& appearance)
{
    settings.setValue(FontSizeKey, appearance.Font.Height);
    settings.setValue(FontWeightKey, appearance.Font.Weight);
    settings.setValue(FontItalicKey, appearance.Font.Italic ? 1 : 0);
    settings.setValue(FontFaceKey, appearance.Font.Face);
    for (std::size_t group = 0; group < ColourGroupCount; ++group) {
        settings.setValue(TextKeys[group], ToStoredColour(appearance.Colour.Text[group]));
        settings.setValue(BackgroundKeys[group], ToStoredColour(appearance.Colour.Background[group]));
    }
    settings.setValue(SystemTextKey, appearance.Colour.SystemText ? 1 : 0);
    settings.setValue(SystemBackgroundKey, appearance.Colour.SystemBackground ? 1 : 0);
    settings.setValue(StyleKey, static_cast<int>(appearance.StoredStyle));
}

}  // namespace Keypad
