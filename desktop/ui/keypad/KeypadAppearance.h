// The keypad's look as it is stored in "GUI/Keypad": the font, the
// background and text colour of each colour group with the two "system"
// switches, and the drawing style; the rules for the effective style and the
// check marks of the Set > Keypad menu.
#pragma once

#include "desktop/ui/keypad/KeypadButtons.h"

#include <QFont>
#include <QRgb>
#include <QString>

#include <array>
#include <optional>

class QSettings;

namespace Keypad {

// A font as it is stored: face name, FontSize (minus the pixel height of the
// characters), weight (400 normal, 700 bold, 800 extra bold) and italic.
struct FontFields {
    QString Face;
    int Height = 0;
    int Weight = 0;
    bool Italic = false;

    bool operator==(const FontFields&) const = default;
};

// Arial, 11 points at dpi dots per inch, weight 800.
FontFields DefaultFontFields(int dpi);

// The font these fields describe, or nothing when it cannot be made: no face, a
// face longer than a stored face may be or holding control characters, a
// height of 0 or beyond what a screen font can have, a weight outside 0 to
// 1000 (0 meaning "any": normal).
std::optional<QFont> MakeFont(const FontFields& fields);
// The fields of a font (its pixel height taken as it is drawn).
FontFields FieldsOf(const QFont& font);

// The drawing styles, by their stored number.
enum Style : int { Style2000 = 0, StyleVossek = 1, StyleXP = 2, StyleVista = 3 };

// A stored style: 0, 2 and 3 as they are; anything else is Vossek.
Style StoredStyle(std::optional<std::uint32_t> value);
// The style the keypad draws in: without a visual theme XP and Vista draw
// as Vossek; with one, 2000 draws as Vista.
Style EffectiveStyle(Style stored, bool themeActive);

// A colour as stored: red in the low byte, green in the next, blue in the
// third; anything above 0xFFFFFF is not a colour.
std::uint32_t ToStoredColour(QRgb colour);
std::optional<QRgb> FromStoredColour(std::optional<std::uint32_t> value);

struct Colours {
    std::array<QRgb, ColourGroupCount> Text{};        // by ColourGroup
    std::array<QRgb, ColourGroupCount> Background{};  // by ColourGroup
    bool SystemText = false;
    bool SystemBackground = false;

    bool operator==(const Colours&) const = default;
};

// Pink function keys with dark purple text, light blue digits with dark
// blue text, grey service keys with dark grey text.
Colours DefaultColours();

// The two colours of a button, each with a colour per group and a system
// switch: the text and the background.
enum class ColourAspect { Text, Background };

struct AspectFields {
    std::array<QRgb, ColourGroupCount> Colours::*GroupColours;
    bool Colours::*System;
};
AspectFields FieldsOf(ColourAspect aspect);

// "D&efault" under Text Color and Color: checked when the aspect's system
// switch is off and its three colours are the defaults.
bool ColoursAreDefault(const Colours& colours, ColourAspect aspect);

// Everything "GUI/Keypad" holds.
struct Appearance {
    FontFields Font;
    Colours Colour;
    Style StoredStyle = StyleVossek;

    bool operator==(const Appearance&) const = default;
};

// Reads the current group of settings (the caller opens "GUI/Keypad"); a
// value that is missing, not a number or out of range gives its default.
Appearance ReadAppearance(const QSettings& settings, int dpi);
void WriteAppearance(QSettings& settings, const Appearance& appearance);

// The settings group of the keypad.
QString SettingsGroup();

}  // namespace Keypad
