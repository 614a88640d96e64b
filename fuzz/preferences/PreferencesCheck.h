// The fuzz checks of the stored preferences. Shared by the libFuzzer program
// and the corpus test.
#pragma once

#include <string>
#include <string_view>

namespace TevraFuzz {

// Arbitrary bytes as the settings file, read by the program's own reader:
// loading gives every field a value within its range; the record written
// back and loaded again is the same; what is left in the preferences group
// afterwards is only the program's own keys.
std::string CheckStoredPreferences(std::string_view bytes);

// The same checks on keys and values taken from the bytes as a settings file
// lays them out ("[group]" lines, "key=value" lines; a value with commas is
// a list, "@ByteArray(...)" bytes), kept in memory from the start: no file
// is written or read, so the fuzzer runs many times faster. The corpus test
// runs both checks on every input.
std::string CheckPreferenceValues(std::string_view bytes);

}  // namespace TevraFuzz
