#include "core/engine/DeferredLog.h"
#include "core/engine/EngineState.h"

namespace NCalculatorText {

void CDeferredLog::Add(const LogRecord& record)
{
    events_.push_back({false, record.Status, record.Context, record.Description, record.Code, State().ReportedStatement,
                       record.Hint});
}

void CDeferredLog::Clear()
{
    events_.push_back({true, 0, {}, {}, NoError, {}, {}});
}

void CDeferredLog::DeliverTo(ILogReceiver* receiver)
{
    std::vector<Event> events = std::move(events_);
    events_.clear();
    if (receiver == nullptr)
        return;
    const StatementSpan saved = State().ReportedStatement;
    for (const Event& event : events) {
        if (event.Clear) {
            receiver->Clear();
            continue;
        }
        State().ReportedStatement = event.Statement;
        receiver->Add(LogRecord{event.Status, event.Context, event.Description, event.Code, event.Hint});
    }
    State().ReportedStatement = saved;
}

}  // namespace NCalculatorText
