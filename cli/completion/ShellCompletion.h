// The scripts that teach bash and zsh tevra's options and the values they
// take, made from the option table.
#pragma once

#include <string>
#include <string_view>

namespace Tevra::Cli {

std::string BashCompletionScript();
std::string ZshCompletionScript();

// The script of shell, one of CompletionShells.
std::string CompletionScript(std::string_view shell);

}  // namespace Tevra::Cli
