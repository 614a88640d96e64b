// What every help page is made with: HTML escaping, the page frame with its
// navigation, and calculations run through the engine, so that every example
// a page shows is the engine's own answer.
#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

#include "core/engine/StatementHint.h"

namespace DocGen {

std::string Escape(std::string_view text);
std::string Utf8(std::u16string_view text);

// The anchor of a help topic ("messages#report-4" gives "report-4"): the
// pages put their anchors where the help window looks for them.
std::string AnchorOf(const QString& topic);

// One log row of an example.
struct ExampleRow {
    int Status;  // 1 error, 0 warning
    int Code;    // the report kind
    std::string Context;
    std::string Description;
    // The hint beside the record, and the mistake it explains.
    std::string Hint;
    NCalculatorText::Mistake Mistake = NCalculatorText::Mistake::None;
};

// A calculation run as the desktop program runs "calculate all": the
// resulting text and the log, from a fresh process state.
struct Example {
    std::string Statement;
    std::string Result;  // the text with its results written in
    bool Ok = false;
    std::vector<ExampleRow> Log;
};

// Units: 0 radians, 1 degrees, 2 grads.
Example Calculate(std::string_view statement, int units = 0);

// An example as HTML: the resulting text, and the log rows when there are any.
std::string ExampleHtml(const Example& example);

// Replaces every <calc>statement</calc> (or <calc units="deg">) in html by
// the example's HTML. Adds to errors a line for a block that cannot be read.
std::string ExpandExamples(std::string html, std::vector<std::string>& errors);

// The navigation line of every page, and a whole page around body.
std::string Navigation(std::string_view currentPage);
std::string Page(std::string_view fileName, std::string_view title, std::string_view body);

}  // namespace DocGen
