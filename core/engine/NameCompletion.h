// Name completion for the editor: what the caret stands in that a name can
// complete (a word, or the cell name inside a memory keyword's brackets),
// and the names that complete it, spelt the way the user's preferences
// spell what the keypad inserts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/TextTokens.h"

namespace Tevra {
struct CCalcSettings;
class CMemoryMap;
}  // namespace Tevra

namespace NCalculatorText {

struct CompletionContext {
    enum class Kind { None, Name, MemoryCell };
    Kind What = Kind::None;
    // The word or cell name at the caret: a completion replaces Start..End.
    std::size_t Start = 0;
    std::size_t End = 0;
    // What is typed of it: Start up to the caret.
    std::u16string Prefix;
    // A name: an opening bracket follows it already, so none is added.
    bool BracketFollows = false;
    // A cell name: the bracket that closes it, and whether one follows.
    char16_t CloseBracket = u']';
    bool Closed = false;
};

// The context of a caret at position caret of text.
CompletionContext FindCompletionContext(std::u16string_view text, std::size_t caret, CTokenIndex& index);

struct CompletionCandidate {
    enum class Kind { Function, MemoryKeyword, Keyword, MemoryCell };
    Kind What = Kind::Function;
    std::u16string Name;    // as the list shows it
    std::u16string Insert;  // what replaces the context's Start..End

    friend bool operator==(const CompletionCandidate&, const CompletionCandidate&) = default;
};

// The names that complete the context, in alphabetical order, at most most of
// them. A word completes to the function names of both notations in the
// case of NotationCase, with the bracket AppendFunction asks for; to the
// memory, result and random keywords as spelt by their Format preferences
// (the memory keyword with the bracket AppendMemory asks for); and to "pi"
// and "e". A cell name completes to the names of the cells that exist, with
// the bracket that closes it. Letters are compared without their case, as a
// calculation compares them.
std::vector<CompletionCandidate> CompletionCandidates(const CompletionContext& context,
                                                      const Tevra::CCalcSettings& settings,
                                                      const Tevra::CMemoryMap& memory, std::size_t most = 200);

}  // namespace NCalculatorText
