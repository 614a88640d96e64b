// What Tab completes in a session line: a function name, a keyword or the
// name of an existing memory cell, found as the desktop editor finds them,
// or a session command and its file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Tevra::Cli {

struct LineCompletion {
    // The part of the line that a completion replaces, in UTF-16 code units.
    std::size_t Start = 0;
    std::size_t End = 0;
    // What the candidates show, and what each puts in Start..End.
    std::vector<std::u16string> Names;
    std::vector<std::u16string> Inserts;
    // The word is the file of a session command: the line editor completes
    // it from the file system.
    bool FileName = false;
};

// Completes line at caret; before holds the earlier lines of the same entry
// (each with its line break), which the statement continues.
LineCompletion CompleteLine(std::u16string_view before, std::u16string_view line, std::size_t caret);

// The longest start that every insert shares, letters compared without their
// case and spelt as the first insert spells them.
std::u16string CommonStart(const std::vector<std::u16string>& inserts);

}  // namespace Tevra::Cli
