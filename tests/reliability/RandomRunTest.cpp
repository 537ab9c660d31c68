// Random trees, separators, masks and destinations, each run through the real copy worker under the
// real progress dialog and held against the outcome worked out from the rules: no listed file's
// content is lost, a copy leaves its sources alone, every target holds the last copy made to it,
// and nothing outside the destination changes but the sources that a move deleted. Every other
// seed runs as on Windows (WindowsRefusals), now and then with a folder that refuses listing; one
// seed in ten puts the source and the destination folder on two volumes of their own whose folders
// repeat each other's identities, as cloned volumes do (two fresh tmpfs volumes, which number their
// folders alike; such a seed is skipped where mounting is refused).
// FERRIX_SEEDS=FIRST:COUNT chooses the seeds; without it the suite runs seeds 1 to 200.
#include "tests/reliability/CheckedRunTest.h"
#include "tests/reliability/RandomCase.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
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

// A fresh tmpfs volume mounted on an empty folder for as long as the object lives (Linux, as root);
// `mounted` tells whether mounting worked.
class TmpfsVolume {
public:
    explicit TmpfsVolume(const std::wstring& folder) : folder(folder)
    {
        mounted = Run(L"mount -t tmpfs -o size=64m ferrix");
    }
    // What the run left on the volume goes with it; a lazy unmount does not wait for Wine to let go.
    ~TmpfsVolume()
    {
        if (mounted)
            Run(L"umount -l");
    }
    TmpfsVolume(const TmpfsVolume&) = delete;
    TmpfsVolume& operator=(const TmpfsVolume&) = delete;

    bool mounted = false;

private:
    // Runs the command on the folder's Linux path: true when it worked. Markers beside the folder
    // tell how it ended, as Wine gives no handle to wait on.
    bool Run(const std::wstring& command) const
    {
        const std::wstring worked = folder + L".worked", failed = folder + L".failed";
        const std::wstring linux = LinuxPath(folder);
        if (linux.empty())
            return false;
        RunLinuxProgram(L"/bin/sh -c \"" + command + L" '" + linux + L"' && touch '" + linux + L".worked' || touch '" +
                            linux + L".failed'\"",
                        [&] { return FileExists(worked) || FileExists(failed); });
        const bool done = FileExists(worked);
        DeleteFileW(worked.c_str());
        DeleteFileW(failed.c_str());
        return done;
    }

    const std::wstring folder;
};

class RandomRunTest : public CheckedRunTest, public testing::WithParamInterface<std::uint64_t> {
protected:
    TempFolder links; // where a case makes its folder link, outside the tree
    std::optional<TmpfsVolume> sourceVolume, destinationVolume;
};

TEST_P(RandomRunTest, NoFileIsLostAndEveryTargetHoldsItsLastCopy)
{
    const std::uint64_t seed = GetParam();
    if (seed % 10 == 7) {
        MakeFolders(root / L"dst");
        sourceVolume.emplace(source);
        destinationVolume.emplace(root / L"dst");
        if (!sourceVolume->mounted || !destinationVolume->mounted)
            GTEST_SKIP() << "two tmpfs volumes could not be mounted";
    }
    const RandomCase made = MakeRandomCase(seed, root.Path(), links.Path(), settings);
    asOnWindows = seed % 2 == 0;
    if (!made.refusing.empty())
        unlistable = {made.refusing};
    destinationFolder = made.destinationFolder;
    folderLinks = made.links;
    RunAndCheck("seed " + std::to_string(seed) + " (FERRIX_SEEDS=" + std::to_string(seed) + ":1 runs it alone)");
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomRunTest, testing::ValuesIn(Seeds()),
                         [](const testing::TestParamInfo<std::uint64_t>& info) {
                             return "Seed" + std::to_string(info.param);
                         });

} // namespace
