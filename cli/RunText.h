// The text of a run, decoded from its bytes.
#pragma once

#include <string>
#include <string_view>

#include "cli/options/Options.h"
#include "core/formats/FileEncoding.h"

namespace Tevra::Cli {

struct RunText {
    std::u16string Text;
    FileEncoding Encoding = FileEncoding::Utf8;
    // Bytes of a UTF-16 file behind its text (from the first NUL on, or a last
    // odd byte): not part of the calculation, kept on writing back.
    std::string Tail;
};

struct DecodedRun {
    bool Ok = false;
    RunText Run;
    std::string Error;  // when not Ok: the message
};

// A file's bytes are read by the rule every reader follows (FileEncoding.h);
// standard input and -e text are always UTF-8. Malformed UTF-8 without NUL
// bytes is refused rather than calculated with replacement characters.
DecodedRun DecodeRun(RunSource::Kind origin, std::string_view bytes);

// Why --in-place refuses a file whose text it would not write back as the
// bytes it read (a binary file taken as UTF-16, for one).
inline constexpr std::string_view NotWrittenBackAsRead = "its text would not be written back byte for byte";

// Whether run, written back in its encoding with its tail, gives bytes again.
// An empty file passes: its empty text never changes, so it is never written.
bool WritesBackUnchanged(const RunText& run, std::string_view bytes);

}  // namespace Tevra::Cli
