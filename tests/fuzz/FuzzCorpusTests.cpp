// Every checked-in fuzz input, the seeds and each input that once found a
// fault or a timeout, fed to the check of its target: what a fuzzer found
// stays found.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzChecks.h"
#ifdef TEVRA_FUZZ_PREFERENCES
#include "fuzz/preferences/PreferencesCheck.h"
#endif

namespace {

struct Target {
    const char* Name;
    const char* Corpus;  // folder under fuzz/corpus
    std::string (*Check)(std::string_view);
};

const Target Targets[] = {
    {"text", "text", TevraFuzz::CheckCalculationText},
    {"files", "files", TevraFuzz::CheckMemoryAndCalculationFile},
#ifdef TEVRA_FUZZ_PREFERENCES
    {"preferences", "preferences", TevraFuzz::CheckStoredPreferences},
    {"preference_values", "preferences", TevraFuzz::CheckPreferenceValues},
#endif
};

std::vector<std::filesystem::path> CorpusFiles(const char* corpus)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TEVRA_FUZZ_CORPUS) / corpus)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string Bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FuzzCorpus : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzCorpus, EveryInputPassesItsCheck)
{
    const std::vector<std::filesystem::path> files = CorpusFiles(GetParam().Corpus);
    EXPECT_GE(files.size(), 3u) << "the corpus holds its seeds";
    for (const std::filesystem::path& file : files)
        EXPECT_EQ(GetParam().Check(Bytes(file)), "") << file.filename().string();
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus, ::testing::ValuesIn(Targets),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.Name); });

}  // namespace
