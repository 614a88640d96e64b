// Reading the inputs of tevra, with the program's own messages for what goes
// wrong. Files are written through the core's atomic replacement
// (memory/FileAccess.h).
#pragma once

#include <string>

namespace Tevra::Cli {

// Largest file tevra reads: well above any calculation, well below what the
// engine's int positions can address once widened to UTF-16.
inline constexpr std::size_t MaxFileBytes = 256u << 20;

struct FileBytes {
    bool Ok = false;
    std::string Bytes;
    std::string Error;  // when not Ok: the message, in the program's wording
};

// The whole content of a regular file. Directories, devices, pipes and other
// non-regular files are refused without being read; an empty file is read
// only when emptyAllowed.
FileBytes ReadRegularFile(const std::string& path, bool emptyAllowed);

// The whole of standard input; a signal stops the reading.
FileBytes ReadStandardInput();

}  // namespace Tevra::Cli
