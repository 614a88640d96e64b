// The statements a calculation's log records come from, as they stand in the
// text the calculation gave back: the editor marks them and the log selects
// them. Plain C++, so that the document and the editor agree on it without
// widgets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/Diagnostics.h"

// One record's statement: Start is -1 when the record belongs to none.
struct CCalcReportedStatement {
    std::int32_t Status = 0;  // the record's: 1 error, anything else a warning
    int Start = -1;
    int Length = 0;
    // The record's hint as one line ("Syntax error: a sign cannot follow an
    // operator; write 2*(-3)") and its spot; empty and -1 without a hint.
    std::u16string Hint{};
    int HintStart = -1;
    int HintLength = 0;

    bool isError() const { return Status == 1; }
    friend bool operator==(const CCalcReportedStatement&, const CCalcReportedStatement&) = default;
};

// Takes the engine's log for its lifetime and passes every record on to the
// receiver that had it, noting the statement each comes from. A Clear, as a
// run starts with, forgets the notes with the rows.
class CCalcRunRecorder final : public NCalculatorText::ILogReceiver {
public:
    CCalcRunRecorder();
    ~CCalcRunRecorder();
    CCalcRunRecorder(const CCalcRunRecorder&) = delete;
    CCalcRunRecorder& operator=(const CCalcRunRecorder&) = delete;

    void Add(const NCalculatorText::LogRecord& record) override;
    void Clear() override;

    // The statements in the order of the records, moved from before, the
    // text the run was given, to after, the text it gave back: each as it
    // stands there, its new result included, without blanks at either end.
    std::vector<CCalcReportedStatement> statementsIn(std::u16string_view before, std::u16string_view after) const;

private:
    NCalculatorText::ILogReceiver* next_;
    std::vector<CCalcReportedStatement> noted_;
};
