// The manual pages of calculator-tevra and tevra, made from the option tables
// that also make their --help.
#pragma once

#include <string>
#include <vector>

namespace DocGen {

std::string DesktopManPage();
std::string TevraManPage();

// Writes calculator-tevra.1 and tevra.1 into outputFolder.
bool WriteManPages(const std::string& outputFolder, std::vector<std::string>& errors);

}  // namespace DocGen
