// Loading a memory or calculation file's bytes into an execution, and the
// messages of the file procedures.
#pragma once

#include <string>
#include <string_view>

namespace Tevra {

inline constexpr std::string_view CannotOpenForReading = "Cannot open the file for reading";
inline constexpr std::string_view CannotReadFile = "Cannot read the file";
inline constexpr std::string_view CannotOpenForWriting = "Cannot open the file for writing";

enum class FileExecution {
    Succeeded,   // every statement ran and evaluated
    Failed,      // a statement or more failed, the others ran; the log says why
    CannotRead,  // no bytes: nothing ran
};

// Decodes bytes by the rule of FileEncoding.h and executes every statement of
// the text, going on after one that fails; the text with its results is
// discarded. Used by Load memory and Execute.
FileExecution ExecuteFileBytes(std::string_view bytes);

}  // namespace Tevra
