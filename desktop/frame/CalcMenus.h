// Where the frame puts the commands: the menus of the menu bar, each known by
// its id and titled from one table, the entries of every menu, and the
// toolbar's buttons. The frame builds its menu bar and toolbar by looping
// over these tables; nothing finds a menu by its title.
#pragma once

#include "desktop/services/CalcCommands.h"

#include <span>
#include <string_view>

namespace CalcMenu {

enum Id : int {
    NoMenu = -1,  // the parent of a menu of the menu bar
    File = 0,
    Memory,
    Edit,
    View,
    Set,
    Notation,  // Set > Notation
    Keypad,    // Set > Keypad
    KeypadStyle,
    KeypadFont,
    KeypadTextColor,
    KeypadColor,
    EditorFont,  // Set > Editor Font
    Help,
    MenuCount,
};

// One menu: its title (with "&") and the menu it opens from.
struct Info {
    Id Menu;
    std::string_view Title;
    Id Parent;
};

// Every menu, in id order.
std::span<const Info> Menus();
// The entry of id; id must be a menu (0 to MenuCount - 1).
const Info& Find(Id id);

// One entry of a menu: a command, or a separator where Command is None. A
// menu appears, in its parent, where its first entry is listed.
struct Entry {
    Id Menu;
    CalcCommand::Id Command;
};

std::span<const Entry> MenuLayout();

// The toolbar's buttons in order, None for a separator.
std::span<const CalcCommand::Id> ToolBarLayout();

}  // namespace CalcMenu
