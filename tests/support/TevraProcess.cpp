#include "support/TevraProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TevraTest {

namespace {

std::string Slurp(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The conventional ids of the user and group "nobody".
constexpr uid_t NobodyUser = 65534;
constexpr gid_t NobodyGroup = 65534;

bool RunsAsSuperuser()
{
    return geteuid() == 0;
}

}  // namespace

ScratchDirectory::ScratchDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tevra-cli-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a scratch directory");
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void ScratchDirectory::Write(const std::string& name, const std::string& bytes) const
{
    std::ofstream file(path_ / name, std::ios::binary | std::ios::trunc);
    file << bytes;
}

std::string ScratchDirectory::Read(const std::string& name) const
{
    return Slurp(path_ / name);
}

namespace {

// How the child is set up beyond its streams and working directory.
struct ChildLimits {
    bool Unprivileged = false;
    rlim_t AddressSpace = RLIM_INFINITY;
};

// Starts tevra with its standard streams on files in streams ("in", "out",
// "err"), outside the scratch directory, so a test sees only what tevra
// itself wrote there.
pid_t Start(const std::vector<std::string>& arguments, const std::string& input, const ScratchDirectory& directory,
            const ScratchDirectory& streams, ChildLimits limits)
{
    streams.Write("in", input);
    const std::string in = streams / "in";
    const std::string out = streams / "out";
    const std::string err = streams / "err";

    std::vector<char*> argv;
    std::string binary = TEVRA_BINARY;
    argv.push_back(binary.data());
    std::vector<std::string> copies = arguments;
    for (auto& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        const int inFd = open(in.c_str(), O_RDONLY);
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (inFd < 0 || outFd < 0 || errFd < 0 || dup2(inFd, 0) < 0 || dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0 ||
            chdir(directory.Path().c_str()) != 0)
            _exit(127);
        if (limits.Unprivileged && (setgroups(0, nullptr) != 0 || setgid(NobodyGroup) != 0 || setuid(NobodyUser) != 0))
            _exit(127);
        const rlimit addressSpace{limits.AddressSpace, limits.AddressSpace};
        if (limits.AddressSpace != RLIM_INFINITY && setrlimit(RLIMIT_AS, &addressSpace) != 0)
            _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

Outcome Collect(int status, const ScratchDirectory& streams)
{
    Outcome outcome;
    outcome.Out = Slurp(streams.Path() / "out");
    outcome.Err = Slurp(streams.Path() / "err");
    outcome.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.Signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return outcome;
}

Outcome Run(const std::vector<std::string>& arguments, const std::string& input, const ScratchDirectory& directory,
            ChildLimits limits)
{
    const ScratchDirectory streams;
    const pid_t child = Start(arguments, input, directory, streams, limits);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return Collect(status, streams);
}

// A line of /proc/<pid>/status or stat of a running process.
std::string ProcessFile(int pid, const char* name)
{
    return Slurp(std::filesystem::path("/proc") / std::to_string(pid) / name);
}

}  // namespace

Outcome RunTevra(const std::vector<std::string>& arguments, const std::string& input, const ScratchDirectory& directory)
{
    return Run(arguments, input, directory, {});
}

bool UnprivilegedRunsPossible()
{
    if (!RunsAsSuperuser())
        return true;
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(NobodyGroup) != 0 || setuid(NobodyUser) != 0)
            _exit(1);
        _exit(access(TEVRA_BINARY, X_OK) == 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

Outcome RunTevraUnprivileged(const std::vector<std::string>& arguments, const std::string& input,
                             const ScratchDirectory& directory)
{
    if (!RunsAsSuperuser())
        return Run(arguments, input, directory, {});
    if (lchown(directory.Path().c_str(), NobodyUser, NobodyGroup) != 0)
        throw std::runtime_error("cannot hand the scratch directory to nobody");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory.Path()))
        if (lchown(entry.path().c_str(), NobodyUser, NobodyGroup) != 0)
            throw std::runtime_error("cannot hand a scratch file to nobody");
    return Run(arguments, input, directory, {.Unprivileged = true});
}

Outcome RunTevraWithAddressSpace(const std::vector<std::string>& arguments, const std::string& input,
                                 const ScratchDirectory& directory, std::size_t bytes)
{
    return Run(arguments, input, directory, {.AddressSpace = static_cast<rlim_t>(bytes)});
}

Outcome RunTevra(const std::vector<std::string>& arguments, const std::string& input)
{
    const ScratchDirectory directory;
    return RunTevra(arguments, input, directory);
}

CRunningTevra::CRunningTevra(const std::vector<std::string>& arguments, const ScratchDirectory& directory,
                             const std::string& input)
    : pid_(Start(arguments, input, directory, streams_, {}))
{
}

CRunningTevra::~CRunningTevra()
{
    if (!finished_) {
        kill(pid_, SIGKILL);
        Finish();
    }
}

bool CRunningTevra::Running()
{
    if (finished_)
        return false;
    const pid_t done = waitpid(pid_, &status_, WNOHANG);
    finished_ = done == pid_;
    return !finished_;
}

bool CRunningTevra::WaitUntilInterruptible()
{
    // SigCgt is the mask of caught signals, in hexadecimal; SIGINT is bit 1
    // and SIGTERM bit 14.
    constexpr unsigned long long wanted = (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1));
    while (Running()) {
        std::istringstream status(ProcessFile(pid_, "status"));
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("SigCgt:", 0) == 0 && (std::stoull(line.substr(7), nullptr, 16) & wanted) == wanted)
                return true;
        }
        usleep(1000);
    }
    return false;
}

namespace {

// The processor time the process has used, user and system, in clock ticks:
// fields 14 and 15 of its stat, after the command name in brackets; -1 when
// it cannot be read.
long ProcessorTicks(pid_t pid)
{
    const std::string stat = ProcessFile(pid, "stat");
    const auto closing = stat.rfind(')');
    if (closing == std::string::npos || closing + 2 > stat.size())
        return -1;
    std::istringstream fields(stat.substr(closing + 2));
    std::string field;
    long user = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            user = std::stol(field);
        if (index == 15)
            return user + std::stol(field);
    }
    return -1;
}

}  // namespace

bool CRunningTevra::WaitForMoreProcessorTime(int milliseconds)
{
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    // One tick more than asked for: the count at the start may be a tick's
    // worth short of the time already used.
    const long wanted = (milliseconds * ticksPerSecond + 999) / 1000 + 1;
    const long start = ProcessorTicks(pid_);
    while (Running()) {
        const long now = ProcessorTicks(pid_);
        if (start >= 0 && now - start >= wanted)
            return true;
        usleep(2000);
    }
    return false;
}

void CRunningTevra::Signal(int number)
{
    if (!finished_)
        kill(pid_, number);
}

Outcome CRunningTevra::Finish()
{
    if (!finished_) {
        while (waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {}
        finished_ = true;
    }
    return Collect(status_, streams_);
}

std::string ProgramFile(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string Repeated(const std::string& piece, std::size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

}  // namespace TevraTest
