#include "cli/completion/ShellCompletion.h"

#include <vector>

#include "cli/options/Options.h"

namespace Tevra::Cli {

namespace {

// The words a shell offers for a value, or empty for none.
std::string ValueWords(ValueCompletion values)
{
    const auto join = [](const auto& names) {
        std::string words;
        for (const std::string_view name : names)
            words += (words.empty() ? "" : " ") + std::string(name);
        return words;
    };
    switch (values) {
    case ValueCompletion::Units:
        return join(UnitNames);
    case ValueCompletion::Shells:
        return join(CompletionShells);
    case ValueCompletion::Files:
    case ValueCompletion::Nothing:
        break;
    }
    return {};
}

// Every spelling of an option: its one-letter form, then its name.
std::vector<std::string> Spellings(const OptionSummary& option)
{
    std::vector<std::string> spellings;
    if (!option.ShortName.empty())
        spellings.emplace_back(option.ShortName);
    spellings.emplace_back(option.Name);
    return spellings;
}

// text inside a zsh option description, which single quotes hold: "]" and
// ":" escaped, a single quote closed and reopened.
std::string ZshDescription(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\'')
            out += "'\\''";
        else if (c == ']' || c == ':' || c == '[' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string BashCompletionScript()
{
    std::string options;
    std::string cases;
    for (const OptionSummary& option : OptionSummaries()) {
        if (option.Name == "--")
            continue;
        std::string pattern;
        for (const std::string& spelling : Spellings(option)) {
            options += (options.empty() ? "" : " ") + spelling;
            pattern += (pattern.empty() ? "" : "|") + spelling;
        }
        if (option.ValueName.empty())
            continue;
        if (option.Values == ValueCompletion::Files)
            cases += "        " + pattern + ") _tevra_files; return ;;\n";
        else if (const std::string words = ValueWords(option.Values); !words.empty())
            cases.append("        ")
                .append(pattern)
                .append(") COMPREPLY=($(compgen -W '")
                .append(words)
                .append("' -- \"$cur\")); return ;;\n");
        else
            cases += "        " + pattern + ") return ;;\n";
    }
    return "# bash completion for tevra, made from its option table (tevra --completion bash).\n"
           "_tevra_files()\n"
           "{\n"
           "    compopt -o filenames 2>/dev/null\n"
           "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "}\n"
           "\n"
           "_tevra()\n"
           "{\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} i\n"
           "    COMPREPLY=()\n"
           "    # --units=deg: bash splits the word at \"=\".\n"
           "    if [[ $cur == = ]]; then\n"
           "        cur=\n"
           "    elif [[ $prev == = ]]; then\n"
           "        prev=${COMP_WORDS[COMP_CWORD-2]}\n"
           "    fi\n"
           "    case $prev in\n" +
        cases +
        "    esac\n"
        "    # Behind \"--\" every word is a FILE.\n"
        "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
        "        [[ ${COMP_WORDS[i]} == -- ]] && { _tevra_files; return; }\n"
        "    done\n"
        "    if [[ $cur == -* ]]; then\n"
        "        COMPREPLY=($(compgen -W '" +
        options +
        " --' -- \"$cur\"))\n"
        "        return\n"
        "    fi\n"
        "    _tevra_files\n"
        "}\n"
        "complete -F _tevra tevra\n";
}

std::string ZshCompletionScript()
{
    std::string specs;
    for (const OptionSummary& option : OptionSummaries()) {
        if (option.Name == "--")
            continue;
        const std::vector<std::string> spellings = Spellings(option);
        std::string value;
        if (!option.ValueName.empty()) {
            value = ":" + std::string(option.ValueName) + ":";
            if (option.Values == ValueCompletion::Files)
                value += "_files";
            else if (const std::string words = ValueWords(option.Values); !words.empty())
                value += "(" + words + ")";
            else
                value += " ";
        }
        const std::string description = "[" + ZshDescription(option.Help) + "]";
        // -e may come again and again; --help and --version stand alone.
        std::string prefix;
        if (option.Name == "-e")
            prefix = "*";
        else if (option.Name == "--help" || option.Name == "--version" || option.Name == "--completion")
            prefix = "(- *)";
        else if (spellings.size() > 1)
            prefix = "(" + spellings[0] + " " + spellings[1] + ")";
        for (const std::string& spelling : spellings) {
            const std::string form =
                spelling.starts_with("--") && !option.ValueName.empty() ? spelling + "=" : spelling;
            specs.append("  '").append(prefix).append(form).append(description).append(value).append("' \\\n");
        }
    }
    return "#compdef tevra\n"
           "# zsh completion for tevra, made from its option table (tevra --completion zsh).\n"
           "_arguments -s -S \\\n" +
        specs + "  '*:FILE:_files'\n";
}

std::string CompletionScript(std::string_view shell)
{
    return shell == "zsh" ? ZshCompletionScript() : BashCompletionScript();
}

}  // namespace Tevra::Cli
