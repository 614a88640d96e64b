// libFuzzer target: any bytes as the settings file the preferences are loaded
// from and written back to.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzChecks.h"
#include "fuzz/preferences/PreferencesCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return TevraFuzz::StopOnFault(TevraFuzz::CheckStoredPreferences({reinterpret_cast<const char*>(data), size}));
}
