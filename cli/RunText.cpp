#include "cli/RunText.h"

#include "memory/MemoryFile.h"
#include "memory/TextCodec.h"

namespace Tevra::Cli {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

// Where the text of a program-format file ends: its first NUL code unit, or
// the last whole unit.
std::size_t Utf16TextEnd(std::string_view bytes)
{
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2)
        if (bytes[i] == '\0' && bytes[i + 1] == '\0')
            return i;
    return i;
}

}  // namespace

DecodedRun DecodeRun(RunSource::Kind origin, std::string_view bytes)
{
    DecodedRun decoded;
    if (origin == RunSource::Kind::File && HasUtf16LeMark(bytes)) {
        decoded.Run.FileEncoding = RunText::Encoding::Utf16Le;
        decoded.Run.Text = DecodeCalculationFile(bytes);
        decoded.Run.Tail = std::string(bytes.substr(Utf16TextEnd(bytes)));
        decoded.Ok = true;
        return decoded;
    }
    if (bytes.starts_with(Utf8Mark)) {
        decoded.Run.FileEncoding = RunText::Encoding::Utf8WithMark;
        bytes.remove_prefix(Utf8Mark.size());
    }
    bool valid = true;
    decoded.Run.Text = Utf8ToUtf16(bytes, &valid);
    decoded.Ok = valid;
    if (!valid)
        decoded.Error = origin == RunSource::Kind::File ? std::string(CannotReadFile) + ": not valid UTF-8"
                                                        : std::string("not valid UTF-8");
    return decoded;
}

std::string EncodeRun(const RunText& run)
{
    switch (run.FileEncoding) {
    case RunText::Encoding::Utf16Le:
        return EncodeCalculationFile(run.Text) + run.Tail;
    case RunText::Encoding::Utf8WithMark:
        return std::string(Utf8Mark) + Utf16ToUtf8(run.Text);
    case RunText::Encoding::Utf8:
        return Utf16ToUtf8(run.Text);
    }
    return Utf16ToUtf8(run.Text);
}

}  // namespace Tevra::Cli
