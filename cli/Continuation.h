// When a line typed in a session leaves its statement open, so that the next
// line continues it.
#pragma once

#include <string_view>

namespace Tevra::Cli {

// Whether text ends inside a "/*" comment, inside the brackets of a memory
// cell's name, or with a bracket of its last statement still open.
bool ContinuesOnNextLine(std::u16string_view text);

}  // namespace Tevra::Cli
