// The text of a run, decoded from its bytes, and the way back to bytes for a
// file calculated in place.
#pragma once

#include <string>
#include <string_view>

#include "cli/Options.h"

namespace Tevra::Cli {

struct RunText {
    enum class Encoding {
        Utf16Le,       // the program's own format: FF FE, UTF-16 little-endian
        Utf8,          // anything else
        Utf8WithMark,  // UTF-8 that starts with EF BB BF
    };
    std::u16string Text;
    Encoding FileEncoding = Encoding::Utf8;
    // Bytes of a program-format file behind its text (from the first NUL on,
    // or a last odd byte): not part of the calculation, kept on writing back.
    std::string Tail;
};

struct DecodedRun {
    bool Ok = false;
    RunText Run;
    std::string Error;  // when not Ok: the message
};

// A file's bytes are the program's format when they start with FF FE, else
// UTF-8; standard input and -e text are always UTF-8. Malformed UTF-8 is
// refused rather than calculated with replacement characters.
DecodedRun DecodeRun(RunSource::Kind origin, std::string_view bytes);

// The file bytes of a run's resulting text, in the encoding it was read in.
std::string EncodeRun(const RunText& run);

}  // namespace Tevra::Cli
