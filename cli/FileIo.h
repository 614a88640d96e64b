// Reading and writing whole files for tevra, with the program's own messages
// for what goes wrong.
#pragma once

#include <string>
#include <string_view>

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
// non-regular files are refused without being read.
FileBytes ReadRegularFile(const std::string& path);

// The whole of standard input.
FileBytes ReadStandardInput();

// Replaces (or creates) path with bytes: the bytes go to a temporary file in
// the same directory, which is flushed to disk and renamed over path, so path
// holds either its old or its new content, never a part. An existing file
// keeps its permission bits; a symbolic link keeps pointing at the file,
// which is replaced. Returns an empty string or the message.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace Tevra::Cli
