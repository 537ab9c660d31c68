// Whole runs of the real ferrix.exe watched while the progress dialog is up, from another
// process: the counted captions, cancelling from the keyboard and the dialog (held keys do not),
// which dialog stays on top, and screenshots of both dialogs. The probe holds the run at the file
// each test watches (ProbeGate) until the test lets it go on, however fast the run is.
#include "tests/ui/RunTest.h"

#include "tests/driver/FolderTree.h"
#include "tests/driver/ProbeGate.h"
#include "tests/driver/RemoteControls.h"
#include "tests/driver/Screenshot.h"
#include "ui/resources/Resource.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

class WatchedRunTest : public RunTest {};

TEST_F(WatchedRunTest, ACopyCountsEveryFileInTheCaptionAndLeavesTheSourceAlone)
{
    const Files files = {{L"a.jpg", Content(100, 1)},
                         {L"b.txt", "b"},
                         {L"2019\\c.jpg", Content(1000, 3)},
                         {L"2019\\trip\\d.jpg", Content(1, 4)},
                         {L"2019\\trip\\e.jpg", Content(100, 5)}};
    FolderTree::Write(source, files);
    MakeFolders(destination);
    // The listing held at the first subfolder, then each copy in turn.
    const ProbeGate gate(L"2019|a.jpg|b.txt|c.jpg|d.jpg|e.jpg");
    const auto ferrix = StartRun(gate.Variables());
    const HWND dialog = WaitForMainDialog(*ferrix);
    EXPECT_FALSE(IsTopmost(dialog));
    PostClick(Control(dialog, IDOK));

    const HWND progress = WaitForProgressDialog(*ferrix);
    EXPECT_TRUE(IsTopmost(progress));
    gate.WaitUntilHeld("the listing of 2019");
    EXPECT_EQ(CaptionOf(progress), L"Ferrix") << "the caption before the first file";
    EXPECT_EQ(CaptionOf(Control(progress, IDC_STATUS_TEXT)), L"Listing files ...");
    gate.Open();
    const wchar_t* const order[] = {L"a.jpg", L"b.txt", L"2019\\c.jpg", L"2019\\trip\\d.jpg", L"2019\\trip\\e.jpg"};
    for (int number = 1; number <= 5; ++number) {
        gate.WaitUntilHeld("the copy of file " + std::to_string(number));
        EXPECT_EQ(CaptionOf(progress), L"Ferrix (" + std::to_wstring(number) + L"/5)");
        EXPECT_EQ(CaptionOf(Control(progress, IDC_FROM_TEXT)), source + L"\\" + order[number - 1]);
        gate.Open();
    }
    EXPECT_EQ(ferrix->WaitForExit(), 0u);

    EXPECT_EQ(FolderTree::Read(destination).files, (Files{{L"a.jpg", files.at(L"a.jpg")},
                                                         {L"b.txt", "b"},
                                                         {L"2019.c.jpg", files.at(L"2019\\c.jpg")},
                                                         {L"2019.trip.d.jpg", files.at(L"2019\\trip\\d.jpg")},
                                                         {L"2019.trip.e.jpg", files.at(L"2019\\trip\\e.jpg")}}));
    EXPECT_EQ(FolderTree::Read(source).files, files);
    EXPECT_EQ(ProbeHook::ReadExitRecord(exitRecord), start) << "the current directory is restored";
}

// A way to cancel a run in the progress dialog, or a key that must not cancel it.
struct Cancelling {
    const char* name;
    void (*cancel)(HWND progress);
    bool cancels = true;
};

// A key held down since before the progress dialog opened, as the keyboard goes on delivering it
// to the focus, the Cancel button: a repeat (bit 30 set: the key was down), then the release.
void PostHeldKey(HWND progress, UINT virtualKey)
{
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(Control(progress, IDCANCEL), WM_KEYDOWN, virtualKey, scanCode | 1 | 0x40000000);
    PostMessageW(Control(progress, IDCANCEL), WM_KEYUP, virtualKey, scanCode | 1 | 0xC0000000);
}

void PrintTo(const Cancelling& cancelling, std::ostream* out)
{
    *out << cancelling.name;
}

class CancellingTest : public WatchedRunTest, public testing::WithParamInterface<Cancelling> {};

// Pressed while the first of three files is being copied, the key only asks the worker to stop:
// that file is completed and the next one is never started. Were the dialog ended at once, the
// program would end in the middle of the copy. A held key's repeats cancel nothing.
TEST_P(CancellingTest, OnlyRequestsTheWorkerToStopAfterTheCurrentFile)
{
    const Files files = {{L"a.bin", Content(100, 1)}, {L"b.bin", Content(100, 2)},
                         {L"c.bin", Content(100, 3)}};
    FolderTree::Write(source, files);
    MakeFolders(destination);
    const ProbeGate gate(L"a.bin");
    const auto ferrix = StartRun(gate.Variables());
    PostClick(Control(WaitForMainDialog(*ferrix), IDOK));
    const HWND progress = WaitForProgressDialog(*ferrix);
    gate.WaitUntilHeld("the copy of the first file");
    GetParam().cancel(progress);
    gate.Open();
    EXPECT_EQ(ferrix->WaitForExit(), 0u);

    EXPECT_EQ(FolderTree::Read(destination).files,
              (GetParam().cancels ? Files{{L"a.bin", files.at(L"a.bin")}} : files));
    EXPECT_EQ(FolderTree::Read(source).files, files);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CancellingTest,
    testing::Values(Cancelling{"EnterKey", [](HWND progress) { PostKey(progress, VK_RETURN); }},
                    Cancelling{"EscapeKey", [](HWND progress) { PostKey(progress, VK_ESCAPE); }},
                    Cancelling{"SpaceKey", [](HWND progress) { PostKey(Control(progress, IDCANCEL), VK_SPACE); }},
                    Cancelling{"CancelButton", [](HWND progress) { PostClick(Control(progress, IDCANCEL)); }},
                    Cancelling{"CloseBox", [](HWND progress) { PostClose(progress); }},
                    Cancelling{"HeldEnterKey", [](HWND progress) { PostHeldKey(progress, VK_RETURN); }, false},
                    Cancelling{"HeldSpaceKey", [](HWND progress) { PostHeldKey(progress, VK_SPACE); }, false}),
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
    FolderTree::Write(source, {{L"a.bin", "a"}, {L"b.bin", "b"}});
    MakeFolders(destination);
    const ProbeGate gate(L"a.bin");
    const auto ferrix = StartRun(gate.Variables());
    const HWND dialog = WaitForMainDialog(*ferrix);
    // The dialog may come to the top once more as it is activated after it has appeared.
    const CoveringWindow cover;
    EXPECT_TRUE(WaitUntil([&] {
        cover.BringToTop();
        return IsAbove(cover.handle, dialog);
    })) << "a window brought to the top stays below the main dialog";

    PostClick(Control(dialog, IDOK));
    const HWND progress = WaitForProgressDialog(*ferrix);
    gate.WaitUntilHeld("the copy of the first file");
    cover.BringToTop();
    EXPECT_TRUE(IsAbove(progress, cover.handle));
    gate.Open();
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
}

TEST_F(WatchedRunTest, ScreenshotsOfBothDialogs)
{
    FolderTree::Write(source, {{L"2024\\a.jpg", "a"},
                               {L"2024\\b.jpg", "b"},
                               {L"2024\\summer\\beach.jpg", "beach"},
                               {L"2024\\notes.txt", "n"}});
    MakeFolders(destination);
    const ProbeGate gate(L"beach.jpg");
    const auto ferrix = StartRun(gate.Variables());
    const HWND dialog = WaitForMainDialog(*ferrix);
    SetText(Control(dialog, IDC_MASK_EDIT), L"*.jpg");
    SaveScreenshot(dialog, ScreenshotPath(L"main-dialog.png"));

    PostClick(Control(dialog, IDOK));
    const HWND progress = WaitForProgressDialog(*ferrix);
    gate.WaitUntilHeld("the copy of beach.jpg");
    EXPECT_EQ(CaptionOf(progress), L"Ferrix (3/3)");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_STATUS_TEXT)), L"Copying:");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_FROM_LABEL)), L"From:");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_FROM_TEXT)), source + L"\\2024\\summer\\beach.jpg");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_TO_LABEL)), L"To:");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_TO_TEXT)), destination + L"\\2024.summer.beach.jpg");
    SaveScreenshot(progress, ScreenshotPath(L"progress-dialog.png"));
    gate.Open();
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
}

} // namespace
