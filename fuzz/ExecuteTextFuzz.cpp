// libFuzzer target: any bytes, read as a caret and a UTF-16 text, must end in
// a result or a report, with a caret inside the resulting text.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return TevraFuzz::StopOnFault(TevraFuzz::CheckCalculationText({reinterpret_cast<const char*>(data), size}));
}
