// The keypad's look: loading and saving "GUI/Keypad", the font, the colours
// of the three groups, the drawing style, and the Set > Keypad commands.
#include "desktop/ui/keypad/CCalcKeyPad.h"

#include "desktop/services/CalcCommandBinder.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/keypad/CCalcKeyPadPrompts.h"
#include "desktop/ui/keypad/CColorButton.h"

#include <QSettings>
#include <QStyle>

namespace {

using Keypad::ColourAspect;
using Keypad::ColourGroup;

std::size_t GroupIndex(ColourGroup group)
{
    return static_cast<std::size_t>(group);
}

// Where the system's colour of an aspect comes from.
QPalette::ColorRole SystemRole(ColourAspect aspect)
{
    return aspect == ColourAspect::Text ? QPalette::ButtonText : QPalette::Button;
}

}  // namespace

QFont CCalcKeyPad::systemFont() const
{
    // The panel's own font: nothing sets it, so it is the system's.
    return font();
}

void CCalcKeyPad::loadAppearance()
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(Keypad::SettingsGroup());
    appearance_ = Keypad::ReadAppearance(settings, dpi());
    settings.endGroup();

    // The font first, then the colours, then the style.
    if (const auto stored = Keypad::MakeFont(appearance_.Font)) {
        applyFont(*stored);
    } else {
        // Said once the panel is on screen; until then the default stands in.
        fontFailed_ = true;
        useDefaultFont();
    }
    applyColours();
    applyStyle();
}

void CCalcKeyPad::applyFont(const QFont& chosen)
{
    font_ = chosen;
    appearance_.Font = Keypad::FieldsOf(chosen);
    const Keypad::FontFields system = Keypad::FieldsOf(systemFont());
    defaultFont_ = appearance_.Font == Keypad::DefaultFontFields(dpi());
    systemFont_ = !defaultFont_ && appearance_.Font == system;
    // The keys take the font (or a smaller one, when room is short) as
    // they are laid out.
    layOutButtons();
    update();
    emit appearanceChanged();
}

void CCalcKeyPad::applyColours()
{
    const auto table = Keypad::Buttons();
    const Keypad::Colours& colours = appearance_.Colour;
    for (std::size_t i = 0; i < table.size(); ++i) {
        CColorButton* each = buttons_[i];
        const std::size_t group = GroupIndex(table[i].Group);
        if (colours.SystemText)
            each->setUseSystemText(true);
        else
            each->setTextColour(QColor::fromRgb(colours.Text[group]));
        if (colours.SystemBackground)
            each->setUseSystemBackground(true);
        else
            each->setBackgroundColour(QColor::fromRgb(colours.Background[group]));
    }
    emit appearanceChanged();
}

bool CCalcKeyPad::themeActive() const
{
    // The classic style is the desktop without a visual theme.
    return style()->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) != 0;
}

Keypad::Style CCalcKeyPad::effectiveStyle() const
{
    return Keypad::EffectiveStyle(appearance_.StoredStyle, themeActive());
}

void CCalcKeyPad::applyStyle()
{
    const Keypad::Style style = effectiveStyle();
    const bool theme = themeActive();
    for (CColorButton* each : buttons_)
        each->setDrawingStyle(style, theme);
}

void CCalcKeyPad::setStoredStyle(Keypad::Style style)
{
    appearance_.StoredStyle = style;
    applyStyle();
    emit appearanceChanged();
}

void CCalcKeyPad::selectFont()
{
    const auto chosen = prompts().chooseFont(font_);
    if (!chosen)
        return;
    // A font the dialog offers is one the keypad can draw; only a size or
    // weight beyond what the keypad takes is refused, leaving the font as it
    // was.
    const auto usable = Keypad::MakeFont(Keypad::FieldsOf(*chosen));
    if (!usable) {
        prompts().fontFailed();
        return;
    }
    QFont font = *usable;
    font.setFamily(chosen->family());
    applyFont(font);
}

void CCalcKeyPad::useSystemFont()
{
    applyFont(systemFont());
}

void CCalcKeyPad::useDefaultFont()
{
    if (const auto font = Keypad::MakeFont(Keypad::DefaultFontFields(dpi())))
        applyFont(*font);
    else
        useSystemFont();
}

void CCalcKeyPad::chooseColour(ColourAspect aspect, ColourGroup group)
{
    const Keypad::AspectFields fields = Keypad::FieldsOf(aspect);
    Keypad::Colours& colours = appearance_.Colour;
    QRgb& colour = (colours.*fields.GroupColours)[GroupIndex(group)];
    // The dialog starts on the colour the group shows.
    const QColor current = colours.*fields.System ? palette().color(SystemRole(aspect)) : QColor::fromRgb(colour);
    const auto chosen = prompts().chooseColour(current);
    if (!chosen)
        return;
    colour = chosen->rgb();
    // With the system switch off every group shows its own colour, as it
    // will after the next start.
    colours.*fields.System = false;
    applyColours();
}

void CCalcKeyPad::useSystemColours(ColourAspect aspect)
{
    appearance_.Colour.*Keypad::FieldsOf(aspect).System = true;
    applyColours();
}

void CCalcKeyPad::useDefaultColours(ColourAspect aspect)
{
    const Keypad::AspectFields fields = Keypad::FieldsOf(aspect);
    appearance_.Colour.*fields.GroupColours = Keypad::DefaultColours().*fields.GroupColours;
    appearance_.Colour.*fields.System = false;
    applyColours();
}

void CCalcKeyPad::saveSettings() const
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(Keypad::SettingsGroup());
    Keypad::WriteAppearance(settings, appearance_);
    settings.endGroup();
}

void CCalcKeyPad::bindCommands(ICalcCommandBinder& commands)
{
    using namespace CalcCommand;
    using enum Keypad::Style;
    struct StyleItem {
        CalcCommand::Id Command;
        Keypad::Style Style;
    };
    static constexpr StyleItem StyleItems[] = {{KeypadStyle2000, Style2000},
                                               {KeypadStyleVossek, StyleVossek},
                                               {KeypadStyleXP, StyleXP},
                                               {KeypadStyleVista, StyleVista}};
    for (const StyleItem& item : StyleItems) {
        const Keypad::Style style = item.Style;
        ICalcCommandBinder::State enabled;
        if (style == Style2000)
            enabled = [this] { return !themeActive(); };
        else if (style != StyleVossek)
            enabled = [this] { return themeActive(); };
        commands.bindCommand(
            item.Command, [this, style] { setStoredStyle(style); }, enabled,
            [this, style] { return effectiveStyle() == style; });
    }

    commands.bindCommand(KeypadFontSelect, [this] { selectFont(); });
    commands.bindCommand(
        KeypadFontSystem, [this] { useSystemFont(); }, {}, [this] { return systemFont_; });
    commands.bindCommand(
        KeypadFontDefault, [this] { useDefaultFont(); }, {}, [this] { return defaultFont_; });

    // Text Color and Color: a dialog per group, the system's colours and the
    // defaults.
    struct ColourItem {
        CalcCommand::Id Command;
        ColourAspect Aspect;
        ColourGroup Group;
    };
    static constexpr ColourItem ColourItems[] = {{KeypadTextColorFunction, ColourAspect::Text, ColourGroup::Function},
                                                 {KeypadTextColorDigit, ColourAspect::Text, ColourGroup::Digit},
                                                 {KeypadTextColorService, ColourAspect::Text, ColourGroup::Service},
                                                 {KeypadColorFunction, ColourAspect::Background, ColourGroup::Function},
                                                 {KeypadColorDigit, ColourAspect::Background, ColourGroup::Digit},
                                                 {KeypadColorService, ColourAspect::Background, ColourGroup::Service}};
    for (const ColourItem& item : ColourItems) {
        const ColourAspect aspect = item.Aspect;
        const ColourGroup group = item.Group;
        commands.bindCommand(item.Command, [this, aspect, group] { chooseColour(aspect, group); });
    }
    struct SwitchItem {
        CalcCommand::Id System;
        CalcCommand::Id Default;
        ColourAspect Aspect;
    };
    static constexpr SwitchItem SwitchItems[] = {{KeypadTextColorSystem, KeypadTextColorDefault, ColourAspect::Text},
                                                 {KeypadColorSystem, KeypadColorDefault, ColourAspect::Background}};
    for (const SwitchItem& item : SwitchItems) {
        const ColourAspect aspect = item.Aspect;
        commands.bindCommand(
            item.System, [this, aspect] { useSystemColours(aspect); }, {},
            [this, aspect] { return appearance_.Colour.*Keypad::FieldsOf(aspect).System; });
        commands.bindCommand(
            item.Default, [this, aspect] { useDefaultColours(aspect); }, {},
            [this, aspect] { return Keypad::ColoursAreDefault(appearance_.Colour, aspect); });
    }

    connect(this, &CCalcKeyPad::appearanceChanged, this, [&commands] { commands.refreshCommandStates(); });
}
