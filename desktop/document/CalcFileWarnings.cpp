#include "desktop/document/CalcFileWarnings.h"

#include "core/files/FileAccess.h"
#include "core/files/MemoryFile.h"
#include "desktop/document/CCalcDocPrompts.h"
#include "desktop/services/QtText.h"

#include <QDir>
#include <QFile>

#include <utility>

namespace {

// The path as the file system spells it.
std::string FileSystemPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString LimitText(std::int64_t limit)
{
    return QStringLiteral("Files larger than %1 MB are not read.").arg(limit / (1024 * 1024));
}

}  // namespace

std::optional<std::string> ReadFileReporting(ICalcDocPrompts& prompts, const QString& path, std::int64_t limit)
{
    // Only a regular file is read: a pipe would keep the window waiting for
    // a writer, and a device might never end.
    using Outcome = Tevra::FileContent::Outcome;
    Tevra::FileContent content = Tevra::ReadRegularFile(FileSystemPath(path), static_cast<std::size_t>(limit));
    const QString reason = content.Error != 0 ? QString::fromStdString(Tevra::SystemCause(content.Error))
                                              : QStringLiteral("Not a regular file");
    switch (content.Result) {
    case Outcome::CannotOpen:
        WarnFile(prompts, Tevra::ToQString(Tevra::CannotOpenForReading), path, reason);
        return std::nullopt;
    case Outcome::CannotRead:
        WarnFile(prompts, Tevra::ToQString(Tevra::CannotReadFile), path, reason);
        return std::nullopt;
    case Outcome::TooLarge:
        WarnFile(prompts, FileTooLargeWarning, path, LimitText(limit));
        return std::nullopt;
    case Outcome::Read:
        break;
    }
    return std::move(content.Bytes);
}

bool WriteFileReporting(ICalcDocPrompts& prompts, const QString& path, std::string_view bytes)
{
    // The file is replaced only when every byte is on disk: a failed save
    // never leaves a truncated file, and the message names the cause.
    const std::string error = Tevra::WriteFileAtomically(FileSystemPath(path), bytes);
    if (!error.empty())
        WarnFile(prompts, QString::fromStdString(error), path, QString());
    return error.empty();
}

void WarnFile(ICalcDocPrompts& prompts, const QString& message, const QString& path, const QString& reason)
{
    QString detail = QDir::toNativeSeparators(path);
    if (!reason.isEmpty())
        detail += QStringLiteral("\n") + reason;
    prompts.warn(message, detail);
}
