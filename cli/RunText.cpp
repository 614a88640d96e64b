#include "cli/RunText.h"

#include "core/files/MemoryFile.h"
#include "core/formats/TextCodec.h"

namespace Tevra::Cli {

DecodedRun DecodeRun(RunSource::Kind origin, std::string_view bytes)
{
    DecodedRun decoded;
    if (origin == RunSource::Kind::File) {
        FileText file = DecodeFileText(bytes);
        if (file.Encoding == FileEncoding::Unrecognised) {
            decoded.Error = std::string(CannotReadFile) + ": not valid UTF-8";
            return decoded;
        }
        decoded.Run = {std::move(file.Text), file.Encoding, std::move(file.Tail)};
        decoded.Ok = true;
        return decoded;
    }
    bool valid = true;
    decoded.Run.Text = Utf8ToUtf16(bytes, &valid);
    decoded.Ok = valid;
    if (!valid)
        decoded.Error = "not valid UTF-8";
    return decoded;
}

bool WritesBackUnchanged(const RunText& run, std::string_view bytes)
{
    if (bytes.empty())
        return true;
    std::string back;
    back.reserve(bytes.size());
    CFileTextEncoder encoder(run.Encoding);
    encoder.Append(run.Text, back);
    encoder.Finish(back);
    back += run.Tail;
    return back == bytes;
}

}  // namespace Tevra::Cli
