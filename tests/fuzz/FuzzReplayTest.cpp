#include "tests/fuzz/FuzzProperties.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Check = std::string (*)(const uint8_t* data, size_t size);

// Runs every file of the kept corpus of one fuzzer through that fuzzer's property check.
void ReplayCorpus(const wchar_t* target, Check check)
{
    const std::filesystem::path folder = std::filesystem::path(FERRIX_FUZZ_CORPUS) / target;
    int replayed = 0;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        const std::string input = ReadFileBytes(file.path().wstring());
        EXPECT_EQ(check(reinterpret_cast<const uint8_t*>(input.data()), input.size()), "")
            << file.path().string();
        ++replayed;
    }
    EXPECT_GT(replayed, 0) << "no input found in " << folder.string();
}

TEST(FuzzReplayTest, CommandLineCorpus)
{
    ReplayCorpus(L"command_line", CheckCommandLineProperties);
}

TEST(FuzzReplayTest, NamingCorpus)
{
    ReplayCorpus(L"naming", CheckNamingProperties);
}

} // namespace
