// Writing a generated file: only when its content changes, so that a build
// that makes the same pages again rebuilds nothing after them.
#pragma once

#include <string>
#include <string_view>

namespace DocGen {

// False when the file cannot be written.
bool WriteIfChanged(const std::string& path, std::string_view content);

}  // namespace DocGen
