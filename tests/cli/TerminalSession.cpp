#include "TerminalSession.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace TevraTest {

namespace {

// Long enough for a loaded machine and a sanitizer build; it only guards
// against a hang.
constexpr int QuietLimitMilliseconds = 60000;

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (auto& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

std::string WithoutEscapes(const std::string& raw)
{
    std::string shown;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r')
            continue;
        if (c != '\x1b') {
            shown += c;
            continue;
        }
        if (i + 1 < raw.size() && raw[i + 1] == '[') {
            // CSI: parameters, then one final byte from @ to ~.
            i += 2;
            while (i < raw.size() && !(raw[i] >= '@' && raw[i] <= '~'))
                ++i;
        } else if (i + 1 < raw.size() && raw[i + 1] == ']') {
            // OSC: up to BEL or ESC backslash.
            while (i < raw.size() && raw[i] != '\a' && !(raw[i] == '\\' && raw[i - 1] == '\x1b'))
                ++i;
        } else {
            ++i;
        }
    }
    return shown;
}

CTerminalSession::CTerminalSession(const std::vector<std::string>& command, const std::vector<std::string>& environment)
{
    std::vector<std::string> arguments = command;
    std::vector<std::string> variables = environment;
    const char* path = std::getenv("PATH");
    variables.push_back(std::string("PATH=") + (path != nullptr ? path : "/usr/bin:/bin"));
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(variables);
    winsize size{};
    size.ws_row = 30;
    size.ws_col = 100;
    pid_ = forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ < 0)
        throw std::runtime_error("forkpty failed");
    if (pid_ == 0) {
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
}

CTerminalSession::~CTerminalSession()
{
    if (!ended_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    close(master_);
}

void CTerminalSession::Type(const std::string& keys)
{
    std::size_t done = 0;
    while (done < keys.size()) {
        const ssize_t count = write(master_, keys.data() + done, keys.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return;
        done += static_cast<std::size_t>(count);
    }
}

bool CTerminalSession::ReadSome(int timeoutMilliseconds)
{
    pollfd ready{master_, POLLIN, 0};
    if (poll(&ready, 1, timeoutMilliseconds) <= 0)
        return false;
    char buffer[4096];
    const ssize_t count = read(master_, buffer, sizeof buffer);
    if (count <= 0)
        return false;  // EIO: the program ended and closed the terminal
    raw_.append(buffer, static_cast<std::size_t>(count));
    return true;
}

std::string CTerminalSession::Shown() const
{
    return WithoutEscapes(raw_);
}

bool CTerminalSession::WaitFor(const std::string& text)
{
    for (;;) {
        const std::string shown = Shown();
        if (const std::size_t at = shown.find(text, found_); at != std::string::npos) {
            found_ = at + text.size();
            return true;
        }
        if (!ReadSome(QuietLimitMilliseconds))
            return false;
    }
}

bool CTerminalSession::WaitForLineEditing()
{
    // Bounded by a minute of checks, each waiting for output for a moment.
    for (int check = 0; check < QuietLimitMilliseconds; ++check) {
        termios modes{};
        if (tcgetattr(master_, &modes) == 0 && (modes.c_lflag & ICANON) == 0)
            return true;
        ReadSome(1);
    }
    return false;
}

long CTerminalSession::ProcessorTicks() const
{
    std::ifstream file("/proc/" + std::to_string(pid_) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (stat.rfind(')') == std::string::npos)
        return -1;
    // Fields 14 and 15, after the command name in brackets: user and system
    // time in clock ticks.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14 || index == 15)
            ticks += std::stol(field);
        if (index == 15)
            break;
    }
    return ticks;
}

bool CTerminalSession::WaitForMoreProcessorTime(int milliseconds)
{
    const long start = ProcessorTicks();
    const long wanted = start + (milliseconds * sysconf(_SC_CLK_TCK) + 999) / 1000;
    for (;;) {
        if (waitpid(pid_, &status_, WNOHANG) == pid_) {
            ended_ = true;
            return false;
        }
        const long now = ProcessorTicks();
        if (now >= wanted)
            return true;
        // Keep the terminal drained, so that the program never blocks on it.
        ReadSome(2);
    }
}

int CTerminalSession::Finish()
{
    // Read what is left until the program closes the terminal, then reap it.
    while (ReadSome(QuietLimitMilliseconds)) {}
    if (!ended_) {
        // Still running after a minute of silence: it hangs.
        if (waitpid(pid_, &status_, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
        }
        ended_ = true;
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

}  // namespace TevraTest
