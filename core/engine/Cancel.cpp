#include "core/engine/Cancel.h"

#include "core/engine/Diagnostics.h"
#include "core/engine/EngineState.h"

namespace NCalculatorText {

bool SeeCancel()
{
    if (!State().CancelSeen) {
        State().CancelSeen = true;
        Report(Cancelled, 0.0);
    }
    return true;
}

void ResetCancelState()
{
    State().CancelSeen = false;
    State().CancelPollCount = 0;
}

}  // namespace NCalculatorText
