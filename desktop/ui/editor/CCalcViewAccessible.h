// What assistive technology reads of the editor: an editable text of many
// lines, its caret and selection, where each character stands on the screen,
// and edits made through the text interface.
#pragma once

namespace CCalcViewAccessible {

// Registers the editor's accessible interface with Qt; once is enough.
void Install();

}  // namespace CCalcViewAccessible
