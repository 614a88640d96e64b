// libFuzzer target: any bytes as a calculation or memory file, decoded,
// executed, and the memory it leaves saved and loaded again.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return TevraFuzz::StopOnFault(
        TevraFuzz::CheckMemoryAndCalculationFile({reinterpret_cast<const char*>(data), size}));
}
