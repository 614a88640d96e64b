// What assistive technology reads of the results margin: a list named
// "Results" with one item per value shown, "Line <n>: <value>".
#pragma once

namespace CCalcResultsMarginAccessible {

// Registers the margin's accessible interface with Qt; once is enough.
void Install();

}  // namespace CCalcResultsMarginAccessible
