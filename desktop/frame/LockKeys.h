// The caps-lock and num-lock state as the keyboard's indicators show it.
#pragma once

#include <optional>

namespace Tevra {

struct LockKeyState {
    bool CapsLock = false;
    bool NumLock = false;
};

// Read from the X server's keyboard extension (the "Caps Lock" and "Num Lock"
// indicators) when the program runs on X11; nothing where the platform cannot
// tell, so that the panes stay blank rather than wrong.
std::optional<LockKeyState> ReadLockKeyIndicators();

}  // namespace Tevra
