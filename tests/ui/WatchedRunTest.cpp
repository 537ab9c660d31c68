// Whole runs of the real ferrix.exe watched while the progress dialog is up, from another
// process: the counted captions, cancelling from the keyboard and the dialog, which dialog stays
// on top, and screenshots of both dialogs. Each depends on seeing the dialog while a large file is
// being copied, so these tests run alone.
#include "tests/ui/RunTest.h"

#include "tests/driver/FolderTree.h"
#include "tests/driver/RemoteControls.h"
#include "tests/driver/Screenshot.h"
#include "ui/resources/Resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <regex>

namespace {

class WatchedRunTest : public RunTest {};

TEST_F(WatchedRunTest, ACopyCountsEveryFileInTheCaptionAndLeavesTheSourceAlone)
{
    // The first and the last file take long enough to copy (some 75 ms each) for their captions
    // to be seen.
    const Files files = {{L"a.jpg", Content(64 << 20, 1)},
                         {L"b.txt", "b"},
                         {L"2019\\c.jpg", Content(1000, 3)},
                         {L"2019\\trip\\d.jpg", Content(1, 4)},
                         {L"2019\\trip\\e.jpg", Content(64 << 20, 5)}};
    FolderTree::Write(source, files);
    MakeFolders(destination);
    const auto ferrix = StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    EXPECT_FALSE(IsTopmost(dialog));
    PostClick(Control(dialog, IDOK));

    const HWND progress = WaitForProgressDialog(*ferrix);
    EXPECT_TRUE(IsTopmost(progress));
    const std::vector<std::wstring> captions = WatchCaptions(progress, defaultWait);
    EXPECT_EQ(ferrix->WaitForExit(), 0u);

    // Counted captions only, rising one file at a time or faster, from the first to the last.
    std::vector<int> counted;
    for (const std::wstring& caption : captions) {
        std::wsmatch match;
        if (std::regex_match(caption, match, std::wregex(L"Ferrix \\((\\d+)/5\\)")))
            counted.push_back(std::stoi(match[1].str()));
        else
            EXPECT_EQ(caption, L"Ferrix") << "the caption before the first file";
    }
    ASSERT_FALSE(counted.empty());
    EXPECT_EQ(counted.front(), 1);
    EXPECT_EQ(counted.back(), 5);
    EXPECT_EQ(std::adjacent_find(counted.begin(), counted.end(), std::greater_equal<int>()), counted.end())
        << "the count does not rise strictly: " << testing::PrintToString(counted);

    EXPECT_EQ(FolderTree::Read(destination).files, (Files{{L"a.jpg", files.at(L"a.jpg")},
                                                         {L"b.txt", "b"},
                                                         {L"2019.c.jpg", files.at(L"2019\\c.jpg")},
                                                         {L"2019.trip.d.jpg", files.at(L"2019\\trip\\d.jpg")},
                                                         {L"2019.trip.e.jpg", files.at(L"2019\\trip\\e.jpg")}}));
    EXPECT_EQ(FolderTree::Read(source).files, files);
    EXPECT_EQ(ProbeHook::ReadExitRecord(exitRecord), start) << "the current directory is restored";
}

// A way to cancel a run in the progress dialog.
struct Cancelling {
    const char* name;
    void (*cancel)(HWND progress);
};

void PrintTo(const Cancelling& cancelling, std::ostream* out)
{
    *out << cancelling.name;
}

class CancellingTest : public WatchedRunTest, public testing::WithParamInterface<Cancelling> {};

// Pressed while the first of three large files is being copied, the key only asks the worker to
// stop: that file is completed and the next one is never started. Were the dialog ended at once,
// the program would end in the middle of a copy. The driver may be late by one file.
TEST_P(CancellingTest, OnlyRequestsTheWorkerToStopAfterTheCurrentFile)
{
    const Files files = {{L"a.bin", Content(64 << 20, 1)}, {L"b.bin", Content(64 << 20, 2)},
                         {L"c.bin", Content(64 << 20, 3)}};
    FolderTree::Write(source, files);
    MakeFolders(destination);
    const auto ferrix = StartRun();
    PostClick(Control(WaitForMainDialog(*ferrix), IDOK));
    const HWND progress = WaitForProgressDialog(*ferrix);
    WaitOrThrow([&] { return CaptionOf(progress) == L"Ferrix (1/3)"; }, "the caption of the first file");
    GetParam().cancel(progress);
    EXPECT_EQ(ferrix->WaitForExit(), 0u);

    const Files copied = FolderTree::Read(destination).files;
    const Files first = {{L"a.bin", files.at(L"a.bin")}};
    const Files firstTwo = {{L"a.bin", files.at(L"a.bin")}, {L"b.bin", files.at(L"b.bin")}};
    EXPECT_TRUE(copied == first || copied == firstTwo) << "copied " << copied.size() << " files, or not whole";
    EXPECT_EQ(FolderTree::Read(source).files, files);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CancellingTest,
    testing::Values(Cancelling{"EnterKey", [](HWND progress) { PostKey(progress, VK_RETURN); }},
                    Cancelling{"EscapeKey", [](HWND progress) { PostKey(progress, VK_ESCAPE); }},
                    Cancelling{"CancelButton", [](HWND progress) { PostClick(Control(progress, IDCANCEL)); }},
                    Cancelling{"CloseBox", [](HWND progress) { PostClose(progress); }}),
    [](const testing::TestParamInfo<Cancelling>& info) { return info.param.name; });

// A window of the driver's own, not topmost, brought to the top of the others.
class CoveringWindow {
public:
    CoveringWindow()
        : handle(CreateWindowExW(0, L"Static", L"covering", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 1024, nullptr, nullptr,
                                 nullptr, nullptr))
    {
    }
    ~CoveringWindow() { DestroyWindow(handle); }
    CoveringWindow(const CoveringWindow&) = delete;
    CoveringWindow& operator=(const CoveringWindow&) = delete;

    void BringToTop() const { SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

    const HWND handle;
};

TEST_F(WatchedRunTest, OnlyTheProgressDialogStaysAboveOtherWindows)
{
    FolderTree::Write(source, {{L"a.bin", Content(64 << 20, 1)}, {L"b.bin", Content(64 << 20, 2)}});
    MakeFolders(destination);
    const auto ferrix = StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    // The dialog may come to the top once more as it is activated after it has appeared.
    const CoveringWindow cover;
    EXPECT_TRUE(WaitUntil([&] {
        cover.BringToTop();
        return IsAbove(cover.handle, dialog);
    })) << "a window brought to the top stays below the main dialog";

    PostClick(Control(dialog, IDOK));
    const HWND progress = WaitForProgressDialog(*ferrix);
    cover.BringToTop();
    EXPECT_TRUE(IsAbove(progress, cover.handle));
    EXPECT_TRUE(IsWindowVisible(progress)) << "the run ended before its dialog could be checked";
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
}

TEST_F(WatchedRunTest, ScreenshotsOfBothDialogs)
{
    FolderTree::Write(source, {{L"2024\\a.jpg", "a"},
                               {L"2024\\b.jpg", "b"},
                               {L"2024\\summer\\beach.jpg", Content(256 << 20, 1)},
                               {L"2024\\notes.txt", "n"}});
    MakeFolders(destination);
    const auto ferrix = StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    SetText(Control(dialog, IDC_MASK_EDIT), L"*.jpg");
    SaveScreenshot(dialog, ScreenshotPath(L"main-dialog.png"));

    PostClick(Control(dialog, IDOK));
    const HWND progress = WaitForProgressDialog(*ferrix);
    WaitOrThrow([&] { return CaptionOf(Control(progress, IDC_TO_TEXT)) == destination + L"\\2024.summer.beach.jpg"; },
                "the progress dialog to show the first file");
    EXPECT_EQ(CaptionOf(progress), L"Ferrix (3/3)");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_STATUS_TEXT)), L"Copying:");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_FROM_LABEL)), L"From:");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_FROM_TEXT)), source + L"\\2024\\summer\\beach.jpg");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_TO_LABEL)), L"To:");
    SaveScreenshot(progress, ScreenshotPath(L"progress-dialog.png"));
    EXPECT_TRUE(IsWindowVisible(progress)) << "the run ended while its dialog was photographed";
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
}

} // namespace
