// The lines typed in sessions, kept between them in a file of the user's
// state folder that only the user can read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace Tevra::Cli {

class CHistoryFile final {
public:
    // The most lines the file keeps: the oldest go first.
    static constexpr std::size_t MaxLines = 10000;

    // $XDG_STATE_HOME/tevra/history, or ~/.local/state/tevra/history when
    // XDG_STATE_HOME is not an absolute path; empty when HOME is not known
    // either.
    static std::string DefaultPath();

    explicit CHistoryFile(std::string path);

    // The lines kept, oldest first, making the file's folder when it is
    // missing. A file that exists but cannot be read is left alone: the
    // session then keeps no history, and Error() says why.
    std::vector<std::string> Load();

    // Adds a line at the end, the file readable and writable by the user
    // only and never longer than MaxLines. Lines typed meanwhile in another
    // session stay.
    bool Append(const std::string& line);

    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }

private:
    bool Trim();
    bool Fail(const std::string& message);

    std::string path_;
    std::size_t lines_ = 0;
    bool usable_ = false;
    std::string error_;
};

// The lines of bytes, each without its line break; a last line without one
// counts too.
std::vector<std::string> HistoryLines(const std::string& bytes);

}  // namespace Tevra::Cli
