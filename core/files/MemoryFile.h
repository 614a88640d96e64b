// The bytes of a memory file, loading a memory or calculation file's bytes
// into an execution, and the messages of the file procedures.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Tevra {

class CMemoryMap;

inline constexpr std::string_view CannotOpenForReading = "Cannot open the file for reading";
inline constexpr std::string_view CannotReadFile = "Cannot read the file";
inline constexpr std::string_view CannotOpenForWriting = "Cannot open the file for writing";

enum class FileExecution {
    Succeeded,   // every statement ran and evaluated
    Failed,      // a statement or more failed, the others ran; the log says why
    CannotRead,  // no bytes: nothing ran
};

// The memory file of memory: every cell (all) or the ticked ones, as store
// statements in the program's own format (UTF-16LE after FF FE, CR LF). The
// one place where memory-file bytes are made: Save memory, tevra's
// --save-memory and the benchmarks write these.
// With lastResult, a last line holds that number alone ("0.5;"), so that
// running the file leaves it as the last result; a value that is not finite
// has no number the engine reads back and is left out.
std::string MemoryFileBytes(const CMemoryMap& memory, bool all, std::optional<double> lastResult = std::nullopt);

// Decodes bytes by the rule of FileEncoding.h and executes every statement of
// the text, going on after one that fails; the text with its results is
// discarded. Used by Load memory and Execute.
FileExecution ExecuteFileBytes(std::string_view bytes);

}  // namespace Tevra
