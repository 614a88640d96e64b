// Keeps the log records of a calculation that runs on another thread, to
// hand them to the real receiver on its own thread once the run is over, in
// order. A log window may only be called from the thread it lives on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/Diagnostics.h"
#include "core/engine/ReportedStatement.h"

namespace NCalculatorText {

class CDeferredLog final : public ILogReceiver {
public:
    void Add(const LogRecord& record) override;
    void Clear() override;

    // Hands every Add and Clear kept, in order, to receiver (nothing when it
    // is null), and forgets them. While each Add runs, ReportedStatement is
    // the statement its record came from.
    void DeliverTo(ILogReceiver* receiver);

private:
    struct Event {
        bool Clear;
        std::int32_t Status;
        std::u16string_view Context;  // a constant text
        std::u16string Description;
        ReportCode Code;  // the kind, by which the log finds the row's help
        StatementSpan Statement;
        StatementHint Hint;
    };
    std::vector<Event> events_;
};

}  // namespace NCalculatorText
