// The memory kept between sessions: when the user asks for it (KeepMemory),
// the memory cells and the last result are written at exit as a memory file
// in the program's state folder, and run at the next start before anything
// else, so that the cells and the result are there again.
//
// The file is the user's own and private: it is written under a passing name
// with mode 0600 and renamed into place, never through a link, and read only
// when it is a regular file of the user's. A kept memory that cannot be
// brought back (not readable, larger than LargestFile, or a statement of it
// fails or warns) is renamed to a name of its own beside it, never removed, and the
// start goes on with an empty memory.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace CalcSessionMemory {

// The kept memory's name in the state folder, and the start of the names
// that one set aside is given ("session-memory-set-aside-<time>.vcm").
inline const QString FileName = QStringLiteral("session-memory.vcm");
inline const QString SetAsidePrefix = QStringLiteral("session-memory-set-aside-");

// The largest kept memory that is run at start: about a hundred thousand
// cells, which hold the start up for about half a second
// (scripts/session-memory-time.sh). A larger one is set aside.
inline constexpr std::size_t LargestFile = std::size_t{8} << 20;
// The work (EvaluationBudget.h) its statements may take together: a kept
// memory only stores numbers and takes none, so this only stops a file
// edited to calculate something long.
inline constexpr std::uint64_t MostWork = 1000000;

struct LoadOutcome {
    enum class Kind {
        NoFile,    // nothing was kept
        Loaded,    // the cells and the last result are back
        SetAside,  // the file could not be brought back; the memory is empty
    };
    Kind Result = Kind::NoFile;
    // For SetAside: what the user is told, naming the cause and where the
    // file went.
    QString Message;
};

// Runs the kept memory of directory into the process-wide memory and last
// result, which are expected empty (the start of a run). The engine's log
// receives nothing from it.
LoadOutcome Load(const QString& directory);

// Writes every memory cell and the last result as the kept memory of
// directory, making the folder if need be. Empty on success, else the cause.
QString Save(const QString& directory);

}  // namespace CalcSessionMemory
