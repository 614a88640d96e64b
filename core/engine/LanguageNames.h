// The names the parser knows, as it reads them (lower case): for the
// editor's highlighting and completion, so that both know exactly the names
// a calculation accepts.
#pragma once

#include <string_view>
#include <vector>

namespace NCalculatorText {

// Every function name, West and East spellings and the one-character signs
// ("√", "Γ", "∑", "∏") alike, in the parser's table order.
std::vector<std::u16string_view> FunctionNameSpellings();

// Every keyword that stands alone: the constants, the result and the random
// keywords in all their spellings ("pi", "π", "e", "rslt", ...). The memory
// keywords, which take a bracket, are MemoryKeywordSpellings.
std::vector<std::u16string_view> KeywordSpellings();

// "mem" and "memory".
std::vector<std::u16string_view> MemoryKeywordSpellings();

}  // namespace NCalculatorText
