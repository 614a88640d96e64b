// The folder each kind of file dialog opens in: the one the user last chose a
// file of that kind in, kept in the settings between runs.
#pragma once

#include <QString>

// The kinds of file the dialogs ask for; each remembers its own folder.
enum class CalcFileKind {
    Calculation,  // Open, Save As, Execute
    Memory,       // Load memory, Save memory
};

// The folder last used for kind; empty when none is known or it is gone.
QString LastFileFolder(CalcFileKind kind);

// Remembers the folder of a file just chosen for kind.
void RememberFileFolder(CalcFileKind kind, const QString& chosenFile);
