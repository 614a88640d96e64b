// The fuzz check of the stored preferences: arbitrary bytes as the settings
// file. Shared by the libFuzzer program and the corpus test.
#pragma once

#include <string>
#include <string_view>

namespace TevraFuzz {

// Loading gives every field a value within its range; the record written
// back and loaded again is the same; what is left in the preferences group
// afterwards is only the program's own keys.
std::string CheckStoredPreferences(std::string_view bytes);

}  // namespace TevraFuzz
