// libFuzzer target: any bytes as the keys and values of the settings the
// preferences are loaded from and written back to, kept in memory.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzChecks.h"
#include "fuzz/preferences/PreferencesCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return TevraFuzz::StopOnFault(TevraFuzz::CheckPreferenceValues({reinterpret_cast<const char*>(data), size}));
}
