#include "cli/Continuation.h"

#include <vector>

#include "core/engine/TextTokens.h"

namespace Tevra::Cli {

bool ContinuesOnNextLine(std::u16string_view text)
{
    using NCalculatorText::TokenKind;
    using Mode = NCalculatorText::TokenScanState::Mode;
    std::vector<NCalculatorText::TextToken> tokens;
    const NCalculatorText::TokenScanPoint end = NCalculatorText::ScanTokens(text, {}, text.size(), &tokens);
    if (end.State.In == Mode::BlockComment || end.State.In == Mode::MemoryName)
        return true;
    // Brackets pair within their statement: only the last one's count.
    long depth = 0;
    for (const auto& token : tokens) {
        if (token.Kind == TokenKind::Separator) {
            depth = 0;
        } else if (token.Kind == TokenKind::Bracket) {
            const char16_t bracket = text[token.Start];
            depth += (bracket == u'(' || bracket == u'[' || bracket == u'{') ? 1 : -1;
        }
    }
    return depth > 0;
}

}  // namespace Tevra::Cli
