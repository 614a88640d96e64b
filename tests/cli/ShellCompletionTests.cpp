// The completion scripts of tevra, loaded in the real bash and zsh: every
// option of --help is offered, and the values each option takes.
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TerminalSession.h"
#include "support/TevraProcess.h"

namespace {

using TevraTest::CTerminalSession;
using TevraTest::ScratchDirectory;

const std::string BashScript = TEVRA_COMPLETION_DIR "/tevra";
const std::string ZshFolder = TEVRA_COMPLETION_DIR;

// Every option spelling that --help lists: "-i, --interactive" gives two.
std::vector<std::string> HelpOptions()
{
    std::vector<std::string> options;
    std::istringstream help(TevraTest::RunTevra({"--help"}).Out);
    bool inOptions = false;
    for (std::string line; std::getline(help, line);) {
        if (line == "Options:" || line == "RUN:")
            inOptions = true;
        if (!inOptions || !line.starts_with("  -") || line.starts_with("  - "))
            continue;
        std::istringstream words(line);
        for (std::string word; words >> word && word.starts_with("-");) {
            if (word.ends_with(","))
                word.pop_back();
            options.push_back(word);
        }
    }
    return options;
}

// What _tevra offers for the words of a command line, the last one being
// completed, one per line in order, as bash does it on Tab.
std::string BashOffers(const std::vector<std::string>& words, const ScratchDirectory& directory)
{
    std::string script = "source '" + BashScript + "'; COMP_WORDS=(";
    for (const std::string& word : words)
        script += "'" + word + "' ";
    script += "); COMP_CWORD=" + std::to_string(words.size() - 1) +
        "; _tevra; printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort";
    CTerminalSession shell(
        {"/bin/bash", "--norc", "--noprofile", "-c", "cd '" + directory.Path().string() + "' && " + script},
        {"TERM=dumb"});
    shell.Finish();
    return shell.Shown();
}

TEST(TevraShellCompletion, BashOffersEveryOptionOfTheHelp)
{
    const ScratchDirectory directory;
    const std::string offered = BashOffers({"tevra", "-"}, directory);
    const auto options = HelpOptions();
    ASSERT_GE(options.size(), 15u);
    for (const std::string& option : options)
        EXPECT_NE(offered.find(option + "\n"), std::string::npos) << option << " not in\n" << offered;
}

struct ValueRow {
    const char* Label;
    std::vector<std::string> Words;
    std::string Offered;
};

void PrintTo(const ValueRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraBashValues : public testing::TestWithParam<ValueRow> {};

TEST_P(TevraBashValues, OffersTheValuesAnOptionTakes)
{
    const ScratchDirectory directory;
    directory.Write("memory.vcm", "1");
    directory.Write("main.vcl", "1");
    directory.Write("other", "1");
    EXPECT_EQ(BashOffers(GetParam().Words, directory), GetParam().Offered);
}

INSTANTIATE_TEST_SUITE_P(Values, TevraBashValues,
                         testing::Values(ValueRow{"Units", {"tevra", "--units", ""}, "deg\ngrad\nrad\n"},
                                         ValueRow{"UnitsBehindEquals", {"tevra", "--units", "=", "g"}, "grad\n"},
                                         ValueRow{"Shells", {"tevra", "--completion", "z"}, "zsh\n"},
                                         ValueRow{"MemoryFile", {"tevra", "--load-memory", "me"}, "memory.vcm\n"},
                                         ValueRow{"RunFiles", {"tevra", "-e", "1", "m"}, "main.vcl\nmemory.vcm\n"},
                                         ValueRow{"NothingForAText", {"tevra", "-e", "m"}, "\n"},
                                         ValueRow{"FilesBehindDoubleDash", {"tevra", "--", "-x", "o"}, "other\n"},
                                         ValueRow{"LongOption", {"tevra", "--inter"}, "--interactive\n"}),
                         [](const auto& info) { return std::string(info.param.Label); });

// A user's interactive shell with the script installed, typing Tab.
struct ShellRow {
    const char* Label;
    std::vector<std::string> Command;
    std::string Setup;
};

void PrintTo(const ShellRow& row, std::ostream* out)
{
    *out << row.Label;
}

class TevraShellTab : public testing::TestWithParam<ShellRow> {};

TEST_P(TevraShellTab, CompletesOptionsAndTheirValuesAtTheTerminal)
{
    const ScratchDirectory home;
    CTerminalSession shell(GetParam().Command,
                           {"HOME=" + home.Path().string(), "TERM=xterm", "PS1=ready$ ", "PROMPT=ready$ "});
    shell.Type(GetParam().Setup +
               "; echo set"
               "up-done\r");
    ASSERT_TRUE(shell.WaitFor("setup-done\n")) << shell.Shown();
    shell.Type("tevra --inter\t");
    EXPECT_TRUE(shell.WaitFor("tevra --interactive")) << shell.Shown();
    shell.Type("\x15tevra --units \t\t");
    EXPECT_TRUE(shell.WaitFor("deg")) << shell.Shown();
    EXPECT_TRUE(shell.WaitFor("rad")) << shell.Shown();
    shell.Type("\x15"
               "exit\r");
    EXPECT_EQ(shell.Finish(), 0) << shell.Shown();
}

INSTANTIATE_TEST_SUITE_P(
    Shells, TevraShellTab,
    testing::Values(ShellRow{"Bash", {"/bin/bash", "--norc", "--noprofile", "-i"}, "source '" + BashScript + "'"},
                    ShellRow{"Zsh",
                             {"/usr/bin/zsh", "-f", "-i"},
                             "fpath=('" + ZshFolder + "' $fpath); autoload -Uz compinit; compinit -u -D"}),
    [](const auto& info) { return std::string(info.param.Label); });

}  // namespace
