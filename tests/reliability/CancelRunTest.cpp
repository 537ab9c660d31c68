// Cancel pressed at a random moment of a run of the real ferrix.exe over a large tree, as a person
// would press it (the button, Escape, Enter or the close box), while the files are listed or at
// any file of the run, over 24 runs. Wherever the run stood, the program ends with exit code 0,
// every target that exists is complete, and in a move every file whose target is incomplete or
// missing still has its source. Most runs are moves; every fourth is a copy, whose sources must all
// stay.
#include "tests/driver/FolderTree.h"
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

// 300 files in a tree three folders deep: most of a few KiB, every 25th of 2 to 4 MiB, and two of
// 48 MiB, whose copies outlast the end of a program that would stop in the middle of a file. The
// bytes are the run's own.
Files LargeTree(Prng& rng)
{
    Files files;
    for (int index = 0; index < 300; ++index) {
        const std::wstring folder = index % 3 == 0 ? L"" : L"d" + std::to_wstring(index % 7) + L"\\";
        const std::wstring deeper = index % 5 == 0 ? L"e" + std::to_wstring(index % 2) + L"\\" : L"";
        const size_t size = index == 100 || index == 200 ? 48 << 20
                            : index % 25 == 0            ? rng.Between(2 << 20, 4 << 20)
                                                         : rng.Between(0, 8192);
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

TEST_P(CancelRunTest, EndsWithCompleteTargetsAndKeepsEverySourceNotMoved)
{
    Prng rng(GetParam());
    const std::wstring source = root / L"src";
    const std::wstring destination = root / L"dst";
    const Files files = LargeTree(rng);
    FolderTree::Write(source, files);
    MakeFolders(destination);
    const bool move = GetParam() % 4 != 0;
    // When to cancel: every sixth run as soon as the progress dialog is up, while the files are
    // listed; every other run while one of the two largest files is being copied, when the "To:"
    // line shows it; the rest after the caption of a file picked at random.
    std::vector<std::wstring> large;
    for (const auto& [path, content] : files)
        if (content.size() == 48 << 20)
            large.push_back(destination + L"\\" + Folded(path));
    const std::wstring largeTarget = rng.Pick(large);
    const int number = GetParam() % 6 == 0 ? 0 : static_cast<int>(rng.Between(1, static_cast<unsigned>(files.size())));
    const unsigned way = rng.Below(4);

    DrivenProcess ferrix(FerrixCommand(Quote(source) + L" " + Quote(destination)));
    const HWND dialog = WaitForMainDialog(ferrix);
    if (move)
        PostClick(Control(dialog, IDC_DELETE_CHECK));
    PostClick(Control(dialog, IDOK));
    const HWND progress = WaitForProgressDialog(ferrix);
    // Looked up while the dialog is up: the run may end at any moment from here on.
    const HWND toText = Control(progress, IDC_TO_TEXT);
    const HWND cancel = Control(progress, IDCANCEL);
    if (GetParam() % 2 == 1)
        WaitOrThrow([&] { return !ferrix.Running() || CaptionOf(toText) == largeTarget; },
                    "the copy of " + Utf8(largeTarget), 60000);
    else
        WaitOrThrow([&] { return !ferrix.Running() || FileNumber(progress) >= number; },
                    "the caption of file " + std::to_string(number), 60000);
    const int moment = ferrix.Running() ? FileNumber(progress) : -1;
    if (ferrix.Running()) {
        if (way == 0)
            PostClick(cancel);
        else if (way == 1)
            PostKey(progress, VK_ESCAPE);
        else if (way == 2)
            PostKey(progress, VK_RETURN);
        else
            PostClose(progress);
    }
    EXPECT_EQ(ferrix.WaitForExit(60000), 0u);

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
    RecordProperty("cancelledAtFile", moment); // -1: the run had ended
    RecordProperty("filesComplete", static_cast<int>(complete));
}

INSTANTIATE_TEST_SUITE_P(Moments, CancelRunTest, testing::Range(1, 25),
                         [](const testing::TestParamInfo<int>& info) { return "Run" + std::to_string(info.param); });

} // namespace
