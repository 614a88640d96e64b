#include "core/files/CCalcFileText.h"

#include "core/formats/FileEncoding.h"

namespace Tevra {

EditorFile EditorFileFromBytes(std::string_view bytes)
{
    FileText file = DecodeFileText(bytes);
    const std::u16string& decoded = file.Text;
    EditorFile editor;
    editor.Encoding = file.Encoding;
    editor.HiddenBytes = file.Tail.size();
    const bool hasCr = decoded.find(u'\r') != std::u16string::npos;
    editor.Ends = !hasCr && decoded.find(u'\n') != std::u16string::npos ? LineEnds::Lf : LineEnds::CrLf;
    editor.Text.reserve(decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const char16_t unit = decoded[i];
        if (unit != u'\r') {
            editor.Text.push_back(unit);
            continue;
        }
        // CR LF and a lone CR both become one line break.
        editor.Text.push_back(u'\n');
        if (i + 1 < decoded.size() && decoded[i + 1] == u'\n')
            ++i;
    }
    return editor;
}

std::string FileBytesFromEditorText(std::u16string_view text, FileEncoding encoding, LineEnds ends)
{
    if (ends == LineEnds::Lf)
        return EncodeWholeFileText(text, encoding);
    std::u16string withCrLf;
    withCrLf.reserve(text.size() + text.size() / 16);
    for (const char16_t unit : text) {
        if (unit == u'\n')
            withCrLf.push_back(u'\r');
        withCrLf.push_back(unit);
    }
    return EncodeWholeFileText(withCrLf, encoding);
}

}  // namespace Tevra
