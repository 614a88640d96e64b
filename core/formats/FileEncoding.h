// How the bytes of a calculation or memory file become text and back. One
// rule decides the encoding for every reader, the desktop program and tevra
// alike, so that a file reads the same in both and is written back as it was.
#pragma once

#include <string>
#include <string_view>

namespace Tevra {

enum class FileEncoding {
    ProgramFormat,    // starts with FF FE: UTF-16LE with its mark, the program's own files
    Utf8,             // valid UTF-8 and no NUL byte
    Utf8WithMark,     // the same, starting with EF BB BF
    Utf16Le,          // holds a NUL byte: UTF-16LE without its mark
    Utf16BeWithMark,  // starts with FE FF: UTF-16BE with its mark, as other programs write it
    Unrecognised,     // no NUL byte but not valid UTF-8 either
};

// The rule: FF FE first is the program's format; FE FF first is UTF-16BE with
// its mark (read and written back big-endian); otherwise valid UTF-8 with no
// NUL byte (a file of UTF-16 always holds some) is UTF-8; otherwise UTF-16LE,
// as the program always read its files. An empty file holds nothing to keep
// and counts as the program's format.
FileEncoding DetectFileEncoding(std::string_view bytes);

// A file's text and what its bytes hold beyond it.
struct FileText {
    std::u16string Text;
    FileEncoding Encoding = FileEncoding::ProgramFormat;
    // Bytes of a UTF-16 file that are not part of its text: from the first NUL
    // code unit on, and a last odd byte.
    std::string Tail;
};

// Decodes bytes by the rule. UTF-16 (and unrecognised bytes, read as UTF-16
// as always) loses every U+FEFF; UTF-8 loses only its leading mark.
FileText DecodeFileText(std::string_view bytes);

// The bytes of text in encoding, without any tail: the program's format,
// UTF-16BE and UTF-8 with its mark start with their marks; UTF-16LE without a mark and
// unrecognised bytes are written as UTF-16LE without one.
std::string EncodeFileText(std::u16string_view text, FileEncoding encoding);

// The bytes of a file holding just text, read in encoding before: as
// EncodeFileText gives them, unless UTF-16 without a mark would then hold no
// NUL byte and form valid UTF-8, so that the rule would read another text back;
// such a text is written in the program's format, whose mark keeps it.
std::string EncodeWholeFileText(std::u16string_view text, FileEncoding encoding);

// The same bytes made piece by piece, for a text that is written as it is
// made: the mark comes with the first piece, and a character split between
// two pieces is written whole.
class CFileTextEncoder final {
public:
    explicit CFileTextEncoder(FileEncoding encoding);
    // Appends the bytes of piece to bytes.
    void Append(std::u16string_view piece, std::string& bytes);
    // Appends what the text's end still needs.
    void Finish(std::string& bytes);

private:
    FileEncoding encoding_;
    bool started_ = false;
    char16_t pending_ = 0;
};

}  // namespace Tevra
