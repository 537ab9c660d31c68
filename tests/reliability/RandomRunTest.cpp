// Random trees, separators, masks and destinations, each run through the real copy worker under the
// real progress dialog and held against the outcome worked out from the rules: no listed file's
// content is lost, a copy leaves its sources alone, every target holds the last copy made to it,
// and nothing outside the destination changes but the sources that a move deleted. Every other
// seed runs as on Windows (WindowsRefusals), now and then with a folder that refuses listing.
// FERRIX_SEEDS=FIRST:COUNT chooses the seeds; without it the suite runs seeds 1 to 200.
#include "tests/reliability/CheckedRunTest.h"
#include "tests/reliability/RandomCase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::uint64_t> Seeds()
{
    std::uint64_t first = 1, count = 200;
    if (const char* chosen = std::getenv("FERRIX_SEEDS")) {
        char* rest = nullptr;
        first = std::strtoull(chosen, &rest, 10);
        count = *rest == ':' ? std::strtoull(rest + 1, nullptr, 10) : 1;
    }
    std::vector<std::uint64_t> seeds;
    for (std::uint64_t seed = first; seed < first + count; ++seed)
        seeds.push_back(seed);
    return seeds;
}

class RandomRunTest : public CheckedRunTest, public testing::WithParamInterface<std::uint64_t> {
protected:
    TempFolder links; // where a case makes its folder link, outside the tree
};

TEST_P(RandomRunTest, NoFileIsLostAndEveryTargetHoldsItsLastCopy)
{
    const std::uint64_t seed = GetParam();
    const RandomCase made = MakeRandomCase(seed, root.Path(), links.Path(), settings);
    asOnWindows = seed % 2 == 0;
    if (!made.refusing.empty())
        unlistable = {made.refusing};
    destinationFolder = made.destinationFolder;
    RunAndCheck("seed " + std::to_string(seed) + " (FERRIX_SEEDS=" + std::to_string(seed) + ":1 runs it alone)");
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomRunTest, testing::ValuesIn(Seeds()),
                         [](const testing::TestParamInfo<std::uint64_t>& info) {
                             return "Seed" + std::to_string(info.param);
                         });

} // namespace
