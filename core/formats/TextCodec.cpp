#include "core/formats/TextCodec.h"

#include <cstdint>
#include <utility>

namespace Tevra {

namespace {

constexpr char16_t ByteOrderMark = u'\uFEFF';
constexpr char32_t Replacement = U'\uFFFD';

void AppendCodePoint(std::u16string& text, char32_t code)
{
    if (code < 0x10000) {
        text.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

void AppendUtf8(std::string& bytes, char32_t code)
{
    if (code < 0x80) {
        bytes.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        bytes.push_back(static_cast<char>(0xC0 | (code >> 6)));
        bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        bytes.push_back(static_cast<char>(0xE0 | (code >> 12)));
        bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        bytes.push_back(static_cast<char>(0xF0 | (code >> 18)));
        bytes.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// The range the second byte of a sequence must lie in, given its lead byte;
// the narrower ranges exclude overlong forms, surrogates and code points above
// U+10FFFF.
struct SecondByteRange {
    std::uint8_t Low;
    std::uint8_t High;
};

SecondByteRange SecondByteRangeOf(std::uint8_t lead)
{
    switch (lead) {
    case 0xE0:
        return {0xA0, 0xBF};
    case 0xED:
        return {0x80, 0x9F};
    case 0xF0:
        return {0x90, 0xBF};
    case 0xF4:
        return {0x80, 0x8F};
    default:
        return {0x80, 0xBF};
    }
}

// Number of bytes of the sequence a lead byte starts; 0 for a byte that
// cannot start one.
int SequenceLength(std::uint8_t lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

}  // namespace

std::u16string DecodeCalculationFile(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<std::uint8_t>(bytes[i]);
        const auto high = static_cast<std::uint8_t>(bytes[i + 1]);
        const auto unit = static_cast<char16_t>(low | (high << 8));
        if (unit == u'\0')
            break;
        if (unit != ByteOrderMark)
            text.push_back(unit);
    }
    return text;
}

std::string EncodeCalculationFile(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(2 * (text.size() + 1));
    auto append = [&bytes](char16_t unit) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    };
    append(ByteOrderMark);
    for (const char16_t unit : text)
        append(unit);
    return bytes;
}

bool HasUtf16LeMark(std::string_view bytes)
{
    return bytes.size() >= 2 && static_cast<std::uint8_t>(bytes[0]) == 0xFF &&
        static_cast<std::uint8_t>(bytes[1]) == 0xFE;
}

namespace {

// Decodes UTF-8, handing every code point to emit (a malformed sequence as
// one U+FFFD for the bytes read so far); false when one was malformed.
template <typename Emit> bool DecodeUtf8(std::string_view bytes, Emit emit)
{
    bool valid = true;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<std::uint8_t>(bytes[i]);
        const int length = SequenceLength(lead);
        if (length == 1) {
            emit(lead);
            ++i;
            continue;
        }
        // Take continuation bytes while they fit; a sequence that breaks off
        // becomes one replacement character for the bytes read so far.
        char32_t code = length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        int taken = 1;
        bool complete = length > 0;
        for (; complete && taken < length; ++taken) {
            if (i + taken >= bytes.size()) {
                complete = false;
                break;
            }
            const auto next = static_cast<std::uint8_t>(bytes[i + taken]);
            const SecondByteRange range = taken == 1 ? SecondByteRangeOf(lead) : SecondByteRange{0x80, 0xBF};
            if (next < range.Low || next > range.High) {
                complete = false;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (!complete) {
            valid = false;
            emit(Replacement);
            i += static_cast<std::size_t>(taken);
            continue;
        }
        emit(code);
        i += static_cast<std::size_t>(length);
    }
    return valid;
}

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes, bool* valid)
{
    std::u16string text;
    text.reserve(bytes.size());
    const bool wellFormed = DecodeUtf8(bytes, [&text](char32_t code) { AppendCodePoint(text, code); });
    if (valid)
        *valid = wellFormed;
    return text;
}

bool IsValidUtf8(std::string_view bytes)
{
    return DecodeUtf8(bytes, [](char32_t) {});
}

void AppendUtf16AsUtf8(std::u16string_view text, std::string& bytes, char16_t& pending, bool last)
{
    for (const char16_t unit : text) {
        if (pending != 0) {
            const char16_t high = std::exchange(pending, char16_t{0});
            if (IsLowSurrogate(unit)) {
                AppendUtf8(bytes, 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (unit - 0xDC00));
                continue;
            }
            AppendUtf8(bytes, Replacement);
        }
        if (IsHighSurrogate(unit))
            pending = unit;
        else if (IsLowSurrogate(unit))
            AppendUtf8(bytes, Replacement);
        else
            AppendUtf8(bytes, unit);
    }
    if (last && pending != 0) {
        pending = 0;
        AppendUtf8(bytes, Replacement);
    }
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    char16_t pending = 0;
    AppendUtf16AsUtf8(text, bytes, pending, true);
    return bytes;
}

}  // namespace Tevra
