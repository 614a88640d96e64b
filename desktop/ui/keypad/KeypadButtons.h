// The keypad's buttons and the function names they insert: one table each.
// What a press sends, the caption a button shows and where it stands on the
// panel all come from these rows and the preferences; the panel, its layout,
// its colours and the help pages (one topic per button, addressed by
// HelpContext()) loop over the same rows. Nothing here depends on Qt.
#pragma once

#include "core/settings/CalcSettings.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace Keypad {

// The three colour groups: each has a background and a text colour.
enum class ColourGroup { Function, Digit, Service };
inline constexpr int ColourGroupCount = 3;

// What a press of a button sends to the document.
enum class Sends {
    Name,           // its FunctionNames() row's name by notation and case, then the function bracket
    Power,          // "^", then the function bracket only when AppendIncludePower is set
    Factorial,      // "!"; with GammaFunction set "Γ" and the function bracket
    Sum,            // "∑" and the function bracket
    Product,        // "∏" and the function bracket
    RandomKeyword,  // RandomKeyword(), no bracket
    ResultKeyword,  // ResultKeyword(), no bracket
    Memory,         // MemoryKeyword() and the memory bracket
    StoreMemory,    // "->", MemoryKeyword() and the memory bracket
    DecimalPoint,   // the decimal-point row's name by notation, never case-converted, no bracket
    Text,           // Button::Text exactly
    Command,        // the command code Button::Code
};

// The blocks of the panel, left to right ("=" and "= all" stand under the
// digits).
enum class Block { Functions, Second, Digits, Equals, Services };

// A button's id is fixed: F1 over the button asks the help for the context
// number HelpContext(id), the keypad help page has its entry under the anchor
// "keypad#button-<id>", and the button's object name is "KeypadButton<id>".
// A new button takes an id no button has had.
struct Button {
    int Id;
    std::u16string_view TemplateCaption;  // the caption of the panel's template
    std::u16string_view FixedCaption;     // the caption shown instead of the template's, when it differs for good
    ColourGroup Group;
    Sends Kind;
    std::u16string_view Text;  // Sends::Text: what is inserted
    std::uint32_t Code;        // Sends::Command: the command code (CalcCommandCode)
    Block Place;
    int Row;
    int Column;
};

// One function name in both conventions.
struct FunctionName {
    int ButtonId;
    std::u16string_view West;
    std::u16string_view East;
};

inline constexpr int ButtonCount = 72;
inline constexpr int FunctionNameCount = 32;
// The row of the decimal-point button in FunctionNames().
inline constexpr int DecimalPointRow = 16;

// The 72 buttons, block by block, each block row by row.
std::span<const Button> Buttons();
// The 32 function names; a row's index is what the function buttons build
// their text from.
std::span<const FunctionName> FunctionNames();

// The button of id, or null.
const Button* FindButton(int id);
// The index in Buttons() of id, or nothing.
std::optional<int> ButtonIndex(int id);
// The FunctionNames() row of a button id, or nothing.
std::optional<int> FunctionRow(int id);

// The help topic of a button: its context number. The base is
// CalcHelp::KeypadContextBase, with which the help window turns the number
// back into the button's topic; it is written out here to keep this file
// free of Qt.
constexpr std::uint32_t HelpContext(int buttonId)
{
    return static_cast<std::uint32_t>(buttonId) + 0x80660000u;
}

// The notation the panel's template shows before the first caption refresh:
// the East names in lower case.
inline constexpr std::uint32_t TemplateNotation = 1;

// What the buttons show: the notation and case of the function names and
// whether the factorial button shows the gamma sign.
struct CaptionState {
    std::uint32_t Notation = TemplateNotation;  // 0 West, 1 East
    bool Upper = false;
    bool Gamma = false;

    bool operator==(const CaptionState&) const = default;
};

// The caption state the preferences ask for.
CaptionState CaptionStateOf(const Tevra::CCalcSettings& settings);

// The caption button shows in state.
std::u16string Caption(const Button& button, const CaptionState& state);

// A press: a command code, or a text to insert.
struct Press {
    std::optional<std::uint32_t> Command;
    std::u16string Text;
};

// What a press of button sends with the preferences settings, the function
// names taken in notation (the notation the captions show).
Press WhatItSends(const Button& button, const Tevra::CCalcSettings& settings, std::uint32_t notation);

// The text builders; the brackets are CCalcSettings::FunctionBracket() and
// MemoryBracket().
std::u16string FunctionNameText(int row, const Tevra::CCalcSettings& settings, std::uint32_t notation);

// A sentence saying what the button does, for the help pages: the same for
// every preference ("Inserts the function name tan (West) or tg (East), then
// the function bracket.").
std::string Description(const Button& button);

// A short text of what the button does with the current preferences, for
// assistive technology: "Inserts tan(" or "Calculates the statement at the
// caret".
std::u16string CurrentDescription(const Button& button, const Tevra::CCalcSettings& settings, std::uint32_t notation);

}  // namespace Keypad
