#include "cli/History.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/FileAccess.h"
#include "core/files/MemoryFile.h"

namespace Tevra::Cli {

namespace {

// Well above MaxLines of anything typed by hand.
constexpr std::size_t MaxHistoryBytes = 64u << 20;

constexpr mode_t UserOnly = S_IRUSR | S_IWUSR;

// Makes every missing folder of path's folder, readable by the user only.
bool MakeFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& lines, std::size_t from)
{
    std::string bytes;
    for (std::size_t i = from; i < lines.size(); ++i)
        bytes += lines[i] + "\n";
    return bytes;
}

}  // namespace

std::vector<std::string> HistoryLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string CHistoryFile::DefaultPath()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/')
        return std::string(state) + "/tevra/history";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return std::string(home) + "/.local/state/tevra/history";
    return {};
}

CHistoryFile::CHistoryFile(std::string path) : path_(std::move(path)) {}

bool CHistoryFile::Fail(const std::string& message)
{
    usable_ = false;
    error_ = message;
    return false;
}

std::vector<std::string> CHistoryFile::Load()
{
    usable_ = false;
    if (path_.empty())
        return {};
    if (!MakeFolders(path_)) {
        Fail(WithSystemCause(CannotOpenForWriting, errno));
        return {};
    }
    struct stat status {};
    if (stat(path_.c_str(), &status) != 0 && errno == ENOENT) {
        usable_ = true;
        lines_ = 0;
        return {};
    }
    FileContent content = ReadRegularFile(path_, MaxHistoryBytes);
    if (content.Result != FileContent::Outcome::Read) {
        Fail(content.Result == FileContent::Outcome::CannotOpen ? std::string(CannotOpenForReading)
                                                                : std::string(CannotReadFile));
        return {};
    }
    std::vector<std::string> lines = HistoryLines(content.Bytes);
    usable_ = true;
    lines_ = lines.size();
    if (lines_ > MaxLines) {
        lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(MaxLines));
        Trim();
    }
    return lines;
}

bool CHistoryFile::Append(const std::string& line)
{
    if (!usable_)
        return false;
    const int fd = open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, UserOnly);
    if (fd < 0)
        return Fail(WithSystemCause(CannotOpenForWriting, errno));
    const std::string bytes = line + "\n";
    const bool written =
        fchmod(fd, UserOnly) == 0 && write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    const int error = errno;
    close(fd);
    if (!written)
        return Fail(WithSystemCause(CannotOpenForWriting, error));
    ++lines_;
    return lines_ <= MaxLines || Trim();
}

bool CHistoryFile::Trim()
{
    // Read again: another session may have added lines since.
    FileContent content = ReadRegularFile(path_, MaxHistoryBytes);
    if (content.Result != FileContent::Outcome::Read)
        return Fail(std::string(CannotReadFile));
    const std::vector<std::string> lines = HistoryLines(content.Bytes);
    const std::size_t from = lines.size() > MaxLines ? lines.size() - MaxLines : 0;
    const std::string message = WriteFileAtomically(path_, Joined(lines, from));
    if (!message.empty())
        return Fail(message);
    chmod(path_.c_str(), UserOnly);
    lines_ = lines.size() - from;
    return true;
}

}  // namespace Tevra::Cli
