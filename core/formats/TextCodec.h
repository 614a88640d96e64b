// Conversions between the engine's UTF-16 text and the bytes of files,
// standard streams and the command line.
#pragma once

#include <string>
#include <string_view>

namespace Tevra {

// The text of a calculation or memory file: bytes read as little-endian UTF-16
// code units (a last odd byte is not part of the text), ending at the first
// NUL, with every U+FEFF removed.
std::u16string DecodeCalculationFile(std::string_view bytes);

// U+FEFF followed by text, as little-endian UTF-16 bytes: the program's own
// file format.
std::string EncodeCalculationFile(std::u16string_view text);

// True when bytes start with FF FE, the mark of the program's own format.
bool HasUtf16LeMark(std::string_view bytes);

// UTF-8 to UTF-16. Malformed sequences become U+FFFD; valid is cleared when
// one was met.
std::u16string Utf8ToUtf16(std::string_view bytes, bool* valid = nullptr);

// Whether bytes are well-formed UTF-8, without making the text.
bool IsValidUtf8(std::string_view bytes);

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// The same for a text that comes in pieces: appends the UTF-8 of text to
// bytes. A high surrogate at the end of a piece waits in pending (0 when
// none) for the low one that may start the next; last ends the text.
void AppendUtf16AsUtf8(std::u16string_view text, std::string& bytes, char16_t& pending, bool last);

}  // namespace Tevra
