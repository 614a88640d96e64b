// How a window takes charge of the commands it carries out. It binds each
// command id to a handler, with optional tests for the command's enabled
// state and check mark, and asks for a refresh when what those tests read
// has changed. The frame implements it: the menu, the toolbar and the
// accelerators all reach the handler through the command's one action, and
// one loop over the bindings refreshes every enabled state and check mark.
#pragma once

#include <functional>

class ICalcCommandBinder {
public:
    using Handler = std::function<void()>;
    using State = std::function<bool()>;

    // Binds command id (of the command table) to handler. Without enabled
    // the command is always enabled; without checked its check mark is left
    // to the action. A command is bound once; an unbound command stays
    // greyed.
    virtual void bindCommand(int id, Handler handler, State enabled = {}, State checked = {}) = 0;

    // Sets every bound command's enabled state and check mark from its tests.
    virtual void refreshCommandStates() = 0;

protected:
    ~ICalcCommandBinder() = default;
};
