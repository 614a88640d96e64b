// Where the editor may wrap a line: the places a careful text editor would
// choose, so that a wrapped statement reads as it did on one line.
//
// The start is Unicode's line-breaking classes (after blanks, never inside a
// run of digits or letters), adjusted for calculations: a line may also break
// behind ";", ",", "=", a binary operator or a closing bracket, and never
// inside a number (its exponent's sign included), a name, or one of the
// symbols written with two characters ("->", "//", "/*", "*/", "<=", ...).
// A run without any such place is left to the caller, which breaks it where
// the line is full.
#pragma once

#include <QStringView>

#include <vector>

namespace Tevra {

// One flag per position 0..text.size(): true where a line may start. The
// ends are always true; a line break in the text is not looked at specially
// (the editor breaks its paragraphs before it asks).
std::vector<bool> LineBreakOpportunities(QStringView text);

}  // namespace Tevra
