// A hint beside a log record: why the statement failed or warned and how to
// write it, with the spot in the text where it stops making sense. The
// record's own status, context and description never change; the hint only
// stands beside them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace NCalculatorText {

// The known mistakes, one per row of the mistake table (Mistakes.h).
enum class Mistake : std::uint8_t {
    None,
    SignAfterOperator,
    ImplicitMultiplication,
    PerCent,
    UnknownCharacter,
    UnclosedBracket,
    UnopenedBracket,
    FunctionWithoutBrackets,
    DecimalComma,
    BlanksInNumber,
    MalformedNumber,
    UnsetCell,
    UnknownWord,
    MissingOperand,
    StoreTarget,
    MemoryWithoutBrackets,
    KeywordWithBrackets,
    UnclosedComment,
    ListWithoutValue,
};

struct StatementHint {
    Mistake Kind = Mistake::None;
    // The explanation and suggested text, as one line.
    std::u16string Text{};
    // The spot, in UTF-16 code units of the text the run was given; Start is
    // -1 when the hint names no spot.
    std::int64_t Start = -1;
    std::int64_t Length = 0;

    bool IsKnown() const { return Kind != Mistake::None; }
    friend bool operator==(const StatementHint&, const StatementHint&) = default;
};

// What the engine tells the hint pass about the report being made: the
// expression of the statement being evaluated (its comments blank) and where
// it starts in the run's text, and the memory cell a read found empty. Views
// valid only while the report is made.
struct ReportSubject {
    std::u16string_view Expression;
    std::int64_t Start = -1;
    std::u16string_view UnsetCell;
    // The hint pass is asked only while this is true; false leaves every
    // record without a hint.
    bool Explain = true;
    // The last hint made, reused while the same statement reports the same
    // way again (a series reading an empty cell on every term).
    struct Memo {
        const char16_t* Expression = nullptr;
        std::size_t Size = 0;
        int Code = -1;
        int Operation = -1;
        std::u16string Cell;
        StatementHint Hint;
    };
    Memo Last;
};

}  // namespace NCalculatorText
