#include "core/formats/FileEncoding.h"

#include "core/formats/TextCodec.h"

#include <utility>

namespace Tevra {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";

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

void AppendUtf16Units(std::u16string_view text, std::string& bytes, bool bigEndian)
{
    for (const char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
}

// The same bytes with the two of every code unit exchanged (a last odd byte
// stays): big-endian UTF-16 as little-endian.
std::string SwappedUnits(std::string_view bytes)
{
    std::string swapped(bytes);
    for (std::size_t i = 0; i + 1 < swapped.size(); i += 2)
        std::swap(swapped[i], swapped[i + 1]);
    return swapped;
}

}  // namespace

FileEncoding DetectFileEncoding(std::string_view bytes)
{
    if (bytes.empty() || HasUtf16LeMark(bytes))
        return FileEncoding::ProgramFormat;
    if (bytes.starts_with(Utf16BeMark))
        return FileEncoding::Utf16BeWithMark;
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
    case FileEncoding::Utf16BeWithMark:
        // The mark, exchanged, is a U+FEFF like every other and is dropped.
        file.Text = DecodeCalculationFile(SwappedUnits(bytes));
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
        else if (encoding_ == FileEncoding::Utf16BeWithMark)
            bytes += Utf16BeMark;
    }
    switch (encoding_) {
    case FileEncoding::Utf8:
    case FileEncoding::Utf8WithMark:
        AppendUtf16AsUtf8(piece, bytes, pending_, false);
        return;
    case FileEncoding::ProgramFormat:
    case FileEncoding::Utf16Le:
    case FileEncoding::Unrecognised:
        AppendUtf16Units(piece, bytes, false);
        return;
    case FileEncoding::Utf16BeWithMark:
        AppendUtf16Units(piece, bytes, true);
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
