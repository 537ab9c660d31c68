// Cancel pressed at a random point of a run of the real ferrix.exe over a large tree, as a person
// would press it (the button, Escape, Enter or the close box), while the files are listed or while
// a file picked at random is being copied, over 24 runs. The probe holds the run at that point
// (ProbeGate) until Cancel has been handled. Wherever the run stood, the program ends with exit
// code 0, the file being copied is completed and no later one is started, every target that exists
// is complete, and in a move every file whose target is missing still has its source. Most runs are
// moves; every fourth is a copy, whose sources must all stay.
#include "tests/driver/FolderTree.h"
#include "tests/driver/ProbeGate.h"
#include "tests/driver/RemoteControls.h"
#include "tests/reliability/Prng.h"
#include "tests/ui/FerrixTest.h"
#include "ui/resources/Resource.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace {

using Files = std::map<std::wstring, std::string>;

// 300 files in a tree three folders deep, most of a few KiB and every 25th of 64 to 256 KiB. The
// bytes are the run's own.
Files LargeTree(Prng& rng)
{
    Files files;
    for (int index = 0; index < 300; ++index) {
        const std::wstring folder = index % 3 == 0 ? L"" : L"d" + std::to_wstring(index % 7) + L"\\";
        const std::wstring deeper = index % 5 == 0 ? L"e" + std::to_wstring(index % 2) + L"\\" : L"";
        const size_t size = index % 25 == 0 ? rng.Between(64 << 10, 256 << 10) : rng.Between(0, 8192);
        std::string bytes(size, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(rng.Next());
        files[folder + deeper + L"f" + std::to_wstring(index) + L".dat"] = bytes;
    }
    return files;
}

// The target name that the default separator "." gives a file of the tree.
std::wstring Folded(std::wstring path)
{
    for (wchar_t& c : path)
        c = c == L'\\' ? L'.' : c;
    return path;
}

// The number of the file in the caption "Ferrix (k/N)", or 0 before the first file.
int FileNumber(HWND progress)
{
    int number = 0;
    return std::swscanf(CaptionOf(progress).c_str(), L"Ferrix (%d/", &number) == 1 ? number : 0;
}

class CancelRunTest : public FerrixTest, public testing::WithParamInterface<int> {};

TEST_P(CancelRunTest, EndsAfterTheCurrentFileAndKeepsEverySourceNotMoved)
{
    Prng rng(GetParam());
    const std::wstring source = root / L"src";
    const std::wstring destination = root / L"dst";
    const Files files = LargeTree(rng);
    FolderTree::Write(source, files);
    MakeFolders(destination);
    const bool move = GetParam() % 4 != 0;
    // Where to cancel: every sixth run while the folder d3 is listed, the others while a file
    // picked at random is copied.
    std::vector<std::wstring> paths;
    for (const auto& [path, content] : files)
        paths.push_back(path);
    const std::wstring picked = GetParam() % 6 == 0 ? L"" : rng.Pick(paths);
    const ProbeGate gate(picked.empty() ? L"d3" : picked.substr(picked.rfind(L'\\') + 1));
    const unsigned way = rng.Below(4);

    DrivenProcess ferrix(FerrixCommand(Quote(source) + L" " + Quote(destination)), {}, gate.Variables(), true);
    const HWND dialog = WaitForMainDialog(ferrix);
    if (move)
        PostClick(Control(dialog, IDC_DELETE_CHECK));
    PostClick(Control(dialog, IDOK));
    const HWND progress = WaitForProgressDialog(ferrix);
    gate.WaitUntilHeld(picked.empty() ? "the listing of d3" : "the copy of " + Utf8(picked));
    const int held = FileNumber(progress);
    if (way == 0)
        PostClick(Control(progress, IDCANCEL));
    else if (way == 1)
        PostKey(progress, VK_ESCAPE);
    else if (way == 2)
        PostKey(progress, VK_RETURN);
    else
        PostClose(progress);
    gate.Open();
    EXPECT_EQ(ferrix.WaitForExit(), 0u);

    const Files left = FolderTree::Read(source).files;
    const Files copied = FolderTree::Read(destination).files;
    size_t complete = 0;
    for (const auto& [path, content] : files) {
        const auto target = copied.find(Folded(path));
        const bool whole = target != copied.end() && target->second == content;
        complete += whole;
        EXPECT_TRUE(whole || target == copied.end()) << "incomplete target of " << Utf8(path);
        const auto kept = left.find(path);
        const bool intact = kept != left.end() && kept->second == content;
        EXPECT_TRUE(intact || (move && whole)) << "source lost: " << Utf8(path);
        EXPECT_TRUE(!move || !whole || kept == left.end()) << "a moved file's source stays: " << Utf8(path);
    }
    EXPECT_EQ(copied.size(), complete) << "files in the destination that are no file's target";
    EXPECT_EQ(complete, static_cast<size_t>(held)) << "the files up to the one being copied, and no more";
    if (!picked.empty()) {
        EXPECT_EQ(copied.count(Folded(picked)), 1u) << "the file being copied is completed";
    }
}

INSTANTIATE_TEST_SUITE_P(Moments, CancelRunTest, testing::Range(1, 25),
                         [](const testing::TestParamInfo<int>& info) { return "Run" + std::to_string(info.param); });

// The program ended in the middle of a copy, as a shutdown or a power cut ends it: what the copy
// wrote lies under a temporary name, never under the target's, which holds its earlier content or
// nothing; a second run completes the gathering.
struct Ending {
    const char* name;
    bool existingTarget;
    bool move;
};

void PrintTo(const Ending& ending, std::ostream* out)
{
    *out << ending.name;
}

class EndedPartWayTest : public FerrixTest, public testing::WithParamInterface<Ending> {};

TEST_P(EndedPartWayTest, LeavesNoPartialFileUnderATargetsName)
{
    const Ending& ending = GetParam();
    const std::wstring source = root / L"src";
    const std::wstring destination = root / L"dst";
    Prng rng(7);
    std::string bytes(200000, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(rng.Next());
    FolderTree::Write(source, {{L"big.bin", bytes}});
    MakeFolders(destination);
    if (ending.existingTarget)
        WriteFileBytes(destination + L"\\big.bin", "earlier content");
    for (int run = 0; run < 2; ++run) {
        const ProbeGate gate(L"big.bin");
        std::map<std::wstring, std::wstring> variables = gate.Variables();
        variables[ProbeHook::holdPartWay] = L"1";
        DrivenProcess ferrix(FerrixCommand(Quote(source) + L" " + Quote(destination)), {}, run == 0 ? variables
                                                                                                   : decltype(variables){},
                             run == 0);
        const HWND dialog = WaitForMainDialog(ferrix);
        if (ending.move)
            PostClick(Control(dialog, IDC_DELETE_CHECK));
        PostClick(Control(dialog, IDOK));
        if (run == 1) {
            EXPECT_EQ(ferrix.WaitForExit(), 0u);
            break;
        }
        gate.WaitUntilHeld("the copy of big.bin");
        ferrix.Terminate();
        const Files left = FolderTree::Read(destination).files;
        const auto target = left.find(L"big.bin");
        EXPECT_EQ(target == left.end() ? std::string("nothing") : target->second,
                  ending.existingTarget ? "earlier content" : "nothing");
        EXPECT_EQ(ReadFileBytes(source + L"\\big.bin"), bytes);
    }
    EXPECT_EQ(ReadFileBytes(destination + L"\\big.bin"), bytes) << "the second run completes the gathering";
    EXPECT_EQ(FileExists(source + L"\\big.bin"), !ending.move);
}

INSTANTIATE_TEST_SUITE_P(, EndedPartWayTest,
                         testing::Values(Ending{"ANewTargetInAMove", false, true}, Ending{"AnExistingTarget", true, false},
                                         Ending{"AnExistingTargetInAMove", true, true}),
                         [](const testing::TestParamInfo<Ending>& info) { return info.param.name; });

} // namespace
