// Whole-file reads and atomic writes for the document's commands: when one
// fails, a warning through the prompts names the file and the cause, and the
// file on disk is left as it was.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class ICalcDocPrompts;

// The warning for a file over the size a command reads.
inline const QString FileTooLargeWarning = QStringLiteral("The file is too large");

// The bytes of the regular file at path, of at most limit bytes; nothing,
// after a warning that says why, when it cannot be read.
std::optional<std::string> ReadFileReporting(ICalcDocPrompts& prompts, const QString& path, std::int64_t limit);

// Replaces the file at path by bytes atomically; says why in a warning when
// it cannot, and then leaves the file as it was.
bool WriteFileReporting(ICalcDocPrompts& prompts, const QString& path, std::string_view bytes);

// A warning about the file at path: the message, with the path and the reason
// (when there is one) as its detail.
void WarnFile(ICalcDocPrompts& prompts, const QString& message, const QString& path, const QString& reason);
