#include "document/CCalcFileText.h"

#include "memory/TextCodec.h"

namespace Tevra {

std::u16string EditorTextFromFileBytes(std::string_view bytes)
{
    const std::u16string decoded = DecodeCalculationFile(bytes);
    std::u16string text;
    text.reserve(decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const char16_t unit = decoded[i];
        if (unit != u'\r') {
            text.push_back(unit);
            continue;
        }
        // CR LF and a lone CR both become one line break.
        text.push_back(u'\n');
        if (i + 1 < decoded.size() && decoded[i + 1] == u'\n')
            ++i;
    }
    return text;
}

std::string FileBytesFromEditorText(std::u16string_view text)
{
    std::u16string withCrLf;
    withCrLf.reserve(text.size() + text.size() / 16);
    for (const char16_t unit : text) {
        if (unit == u'\n')
            withCrLf.push_back(u'\r');
        withCrLf.push_back(unit);
    }
    return EncodeCalculationFile(withCrLf);
}

}  // namespace Tevra
