#include "memory/FileEncoding.h"

#include "memory/TextCodec.h"

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

std::string Utf16LeUnits(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

}  // namespace

FileEncoding DetectFileEncoding(std::string_view bytes)
{
    if (bytes.empty() || HasUtf16LeMark(bytes))
        return FileEncoding::ProgramFormat;
    if (bytes.find('\0') != std::string_view::npos)
        return FileEncoding::Utf16Le;
    bool valid = true;
    Utf8ToUtf16(bytes, &valid);
    if (!valid)
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

std::string EncodeFileText(std::u16string_view text, FileEncoding encoding)
{
    switch (encoding) {
    case FileEncoding::ProgramFormat:
        return EncodeCalculationFile(text);
    case FileEncoding::Utf8:
        return Utf16ToUtf8(text);
    case FileEncoding::Utf8WithMark:
        return std::string(Utf8Mark) + Utf16ToUtf8(text);
    case FileEncoding::Utf16Le:
    case FileEncoding::Unrecognised:
        return Utf16LeUnits(text);
    }
    return EncodeCalculationFile(text);
}

}  // namespace Tevra
