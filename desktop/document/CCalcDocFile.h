// The calculation file behind the document: reads a file with its encoding,
// its line ends and the bytes after its text that the editor does not show,
// and writes a text back the same way, asking before those bytes would be
// lost and replacing the file atomically; each failure is a warning through
// the prompts.
#pragma once

#include "core/files/CCalcFileText.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

class ICalcDocPrompts;

class CCalcDocFile final {
public:
    explicit CCalcDocFile(ICalcDocPrompts* prompts) : prompts_(prompts) {}

    void setPrompts(ICalcDocPrompts* prompts) { prompts_ = prompts; }

    // Reads the file at path and takes on its format: its text as the editor
    // shows it (lines separated by "\n"). Nothing, after a warning, when it
    // cannot be read or is too large for the editor; the format stays then.
    std::optional<std::u16string> read(const QString& path);
    // Save: writes the text to path in the format of the file it was read
    // from (the program's own for a new text). The text is taken only once
    // every question is answered. False when refused or failed.
    bool write(const QString& path, const std::function<std::u16string()>& text);
    // Save As: as write(), but a calculation or memory file name gets the
    // program's own format.
    bool writeAs(const QString& path, const std::function<std::u16string()>& text);
    // A new text: the program's format, no file behind it.
    void reset();

    Tevra::FileEncoding encoding() const { return encoding_; }
    Tevra::LineEnds lineEnds() const { return lineEnds_; }
    std::size_t hiddenBytes() const { return hiddenBytes_; }
    // What the status bar says about the file: its hidden bytes, or empty.
    QString notice() const;

private:
    // Writes the text to path in the given format, after asking when that
    // would lose bytes of the file the text was read from.
    bool writeIn(const QString& path, const std::function<std::u16string()>& text, Tevra::FileEncoding encoding,
                 Tevra::LineEnds ends);

    ICalcDocPrompts* prompts_;
    // The file the format belongs to (absolute), empty for a new text; how it
    // was read, to write it back the same way, and the bytes behind its text
    // that the editor does not show.
    QString path_;
    Tevra::FileEncoding encoding_ = Tevra::FileEncoding::ProgramFormat;
    Tevra::LineEnds lineEnds_ = Tevra::LineEnds::CrLf;
    std::size_t hiddenBytes_ = 0;
};
