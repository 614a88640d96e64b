// Conversions between the bytes of a calculation file and the editor's text.
// On disk lines end in CR LF; the editor holds "\n". Plain C++ so that the
// conversions can be checked without widgets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Tevra {

// The editor text of a calculation or memory file: UTF-16LE code units (an odd
// last byte ignored), ending at the first NUL, every U+FEFF removed, CR LF and
// lone CR turned into "\n".
std::u16string EditorTextFromFileBytes(std::string_view bytes);

// The file bytes of an editor text: U+FEFF, then the text with "\n" written
// as CR LF, as UTF-16LE.
std::string FileBytesFromEditorText(std::u16string_view text);

// Largest calculation file the editor opens: four million characters, on one
// line or many. The editor opens, edits and calculates all of such a text
// within a moment (scripts/editor-speed.sh measures it); beyond it a
// calculation of the whole text takes seconds, and no calculation written by
// hand comes near it.
inline constexpr std::int64_t MaxEditorFileBytes = 8 * 1024 * 1024;

// Largest file that Execute and Load memory run: the engine needs about a
// second for it; a larger file would freeze the window for longer.
inline constexpr std::int64_t MaxExecutedFileBytes = 16 * 1024 * 1024;

}  // namespace Tevra
