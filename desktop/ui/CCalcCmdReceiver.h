// The link from the keypad (and the calculate accelerators) to the document:
// command codes and text insertion. The keypad never touches the editor.
#pragma once

#include <cstdint>
#include <string_view>

// Command codes that a sender passes to ICmdReceiver::Command.
enum CalcCommandCode : std::uint32_t {
    CmdClear = 0,         // delete the whole text (undoable)
    CmdBackspace = 1,     // delete the selection, or the character before the caret
    CmdCalculate = 2,     // calculate the statement at the caret
    CmdCalculateAll = 3,  // calculate every statement
    CmdFreeMemory = 4,    // free all memory cells, after confirmation
};

class ICmdReceiver {
public:
    // Carries out one of the codes above; any other code does nothing.
    virtual void Command(std::uint32_t code) = 0;
    // Replaces the editor's selection by text as an undoable edit.
    virtual void InsertText(std::u16string_view text) = 0;

protected:
    ~ICmdReceiver() = default;
};

// The side that holds one receiver pointer (the keypad); null means "do nothing".
class ICmdSender {
public:
    virtual void SetReceiver(ICmdReceiver* receiver) = 0;

protected:
    ~ICmdSender() = default;
};
