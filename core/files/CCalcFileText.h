// Conversions between the bytes of a calculation file and the editor's text.
// On disk lines end in CR LF (or LF alone in a file written so); the editor
// holds "\n". Plain C++ so that the conversions can be checked without
// widgets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/formats/FileEncoding.h"

namespace Tevra {

// How the lines of a file end on disk. The editor holds "\n" alone.
enum class LineEnds {
    CrLf,  // the program's own files, and any file with a CR in it
    Lf,    // a file whose lines all end in LF alone
};

// A file as the editor shows it, and what writing it back needs to know.
struct EditorFile {
    std::u16string Text;  // CR LF and a lone CR turned into "\n"
    FileEncoding Encoding = FileEncoding::ProgramFormat;
    LineEnds Ends = LineEnds::CrLf;
    std::size_t HiddenBytes = 0;  // bytes behind the text that the editor does not show
};

// The editor's view of a file's bytes, decoded by the rule every reader
// follows (FileEncoding.h).
EditorFile EditorFileFromBytes(std::string_view bytes);

// The file bytes of an editor text: "\n" written as CR LF or LF, in the
// encoding's format. The program's own format unless told otherwise.
std::string FileBytesFromEditorText(std::u16string_view text, FileEncoding encoding = FileEncoding::ProgramFormat,
                                    LineEnds ends = LineEnds::CrLf);

// Largest calculation file the editor opens, and the most characters it
// opens: four million, on one line or many. The editor opens, edits and
// calculates all of such a text within a moment (scripts/editor-speed.sh
// measures it); beyond it a calculation of the whole text takes seconds, and
// no calculation written by hand comes near it.
inline constexpr std::int64_t MaxEditorFileBytes = 8 * 1024 * 1024;
inline constexpr std::size_t MaxEditorCharacters = 4 * 1024 * 1024;

// Largest file that Execute and Load memory run, as large as tevra reads:
// they run on the calculation's worker, so the window answers and Cancel
// stops them, and a memory file of millions of cells (a million take 36 MB)
// comes back as it was saved.
inline constexpr std::int64_t MaxExecutedFileBytes = std::int64_t{256} * 1024 * 1024;

}  // namespace Tevra
