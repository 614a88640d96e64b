// Where the statement stands that the records of the log come from. A log
// record keeps its three fields; the receiver reads the statement's place
// here while its Add runs, as it reads the operation's name in the record.
#pragma once

#include <cstdint>

namespace NCalculatorText {

// A statement of the text a run was given: its first and last characters that
// are not blank (comments count as blank), in UTF-16 code units. Start is -1
// when a record belongs to no statement.
struct StatementSpan {
    std::int64_t Start = -1;
    std::int64_t Length = 0;

    bool IsKnown() const { return Start >= 0; }
    friend bool operator==(const StatementSpan&, const StatementSpan&) = default;
};

}  // namespace NCalculatorText
