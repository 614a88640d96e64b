#include "core/formats/FileEncoding.h"

#include "core/formats/TextCodec.h"

namespace Tevra {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

// Where the text of UTF-16 bytes ends: its first NUL code unit, or the last
// whole unit.
std::size_t Utf16TextEnd(std::string_view bytes)
{
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == '\0' && bytes[i + 1] == '\0')
            return i;
    }
    return i;
}

void AppendUtf16LeUnits(std::u16string_view text, std::string& bytes)
{
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
}

}  // namespace

FileEncoding DetectFileEncoding(std::string_view bytes)
{
    if (bytes.empty() || HasUtf16LeMark(bytes))
        return FileEncoding::ProgramFormat;
    if (bytes.find('\0') != std::string_view::npos)
        return FileEncoding::Utf16Le;
    if (!IsValidUtf8(bytes))
        return FileEncoding::Unrecognised;
    return bytes.starts_with(Utf8Mark) ? FileEncoding::Utf8WithMark : FileEncoding::Utf8;
}

FileText DecodeFileText(std::string_view bytes)
{
    FileText file;
    file.Encoding = DetectFileEncoding(bytes);
    switch (file.Encoding) {
    case FileEncoding::Utf8WithMark:
        bytes.remove_prefix(Utf8Mark.size());
        [[fallthrough]];
    case FileEncoding::Utf8:
        file.Text = Utf8ToUtf16(bytes);
        break;
    case FileEncoding::ProgramFormat:
    case FileEncoding::Utf16Le:
    case FileEncoding::Unrecognised:
        file.Text = DecodeCalculationFile(bytes);
        file.Tail = std::string(bytes.substr(Utf16TextEnd(bytes)));
        break;
    }
    return file;
}

CFileTextEncoder::CFileTextEncoder(FileEncoding encoding) : encoding_(encoding) {}

void CFileTextEncoder::Append(std::u16string_view piece, std::string& bytes)
{
    if (!started_) {
        started_ = true;
        if (encoding_ == FileEncoding::ProgramFormat)
            bytes += "\xFF\xFE";
        else if (encoding_ == FileEncoding::Utf8WithMark)
            bytes += Utf8Mark;
    }
    switch (encoding_) {
    case FileEncoding::Utf8:
    case FileEncoding::Utf8WithMark:
        AppendUtf16AsUtf8(piece, bytes, pending_, false);
        return;
    case FileEncoding::ProgramFormat:
    case FileEncoding::Utf16Le:
    case FileEncoding::Unrecognised:
        AppendUtf16LeUnits(piece, bytes);
        return;
    }
}

void CFileTextEncoder::Finish(std::string& bytes)
{
    Append({}, bytes);
    if (encoding_ == FileEncoding::Utf8 || encoding_ == FileEncoding::Utf8WithMark)
        AppendUtf16AsUtf8({}, bytes, pending_, true);
}

std::string EncodeFileText(std::u16string_view text, FileEncoding encoding)
{
    const bool utf8 = encoding == FileEncoding::Utf8 || encoding == FileEncoding::Utf8WithMark;
    std::string bytes;
    bytes.reserve(utf8 ? text.size() + Utf8Mark.size() : 2 * (text.size() + 1));
    CFileTextEncoder encoder(encoding);
    encoder.Append(text, bytes);
    encoder.Finish(bytes);
    return bytes;
}

std::string EncodeWholeFileText(std::u16string_view text, FileEncoding encoding)
{
    std::string bytes = EncodeFileText(text, encoding);
    if (encoding != FileEncoding::Utf16Le && encoding != FileEncoding::Unrecognised)
        return bytes;
    const FileEncoding readBack = DetectFileEncoding(bytes);
    if (readBack == FileEncoding::Utf8 || readBack == FileEncoding::Utf8WithMark)
        return EncodeFileText(text, FileEncoding::ProgramFormat);
    return bytes;
}

}  // namespace Tevra
