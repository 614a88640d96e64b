#include "core/engine/Cancel.h"

#include "core/engine/Diagnostics.h"

namespace NCalculatorText {

bool SeeCancel()
{
    if (!CancelSeen) {
        CancelSeen = true;
        Report(Cancelled, 0.0);
    }
    return true;
}

void ResetCancelState()
{
    CancelSeen = false;
    CancelPollCount = 0;
}

}  // namespace NCalculatorText
