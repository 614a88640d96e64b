#include "cli/FileIo.h"

#include <cerrno>
#include <unistd.h>

#include "cli/Interrupts.h"
#include "core/files/FileAccess.h"
#include "core/files/MemoryFile.h"

namespace Tevra::Cli {

namespace {

FileBytes Failure(std::string_view message)
{
    return FileBytes{false, {}, std::string(message)};
}

std::string TooLargeMessage()
{
    return std::string(CannotReadFile) + ": larger than 256 MiB";
}

}  // namespace

FileBytes ReadRegularFile(const std::string& path, bool emptyAllowed)
{
    FileContent content = Tevra::ReadRegularFile(path, MaxFileBytes);
    switch (content.Result) {
    case FileContent::Outcome::CannotOpen:
        return Failure(CannotOpenForReading);
    case FileContent::Outcome::TooLarge:
        return Failure(TooLargeMessage());
    case FileContent::Outcome::CannotRead:
        return Failure(CannotReadFile);
    case FileContent::Outcome::Read:
        break;
    }
    if (content.Bytes.empty() && !emptyAllowed)
        return Failure(CannotReadFile);
    return FileBytes{true, std::move(content.Bytes), {}};
}

FileBytes ReadStandardInput()
{
    FileBytes input;
    char buffer[65536];
    for (;;) {
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR && ReceivedSignal() == 0)
            continue;
        if (count < 0)
            return Failure(CannotReadFile);
        if (count == 0)
            break;
        if (input.Bytes.size() + static_cast<std::size_t>(count) > MaxFileBytes)
            return Failure(TooLargeMessage());
        input.Bytes.append(buffer, static_cast<std::size_t>(count));
    }
    input.Ok = true;
    return input;
}

}  // namespace Tevra::Cli
