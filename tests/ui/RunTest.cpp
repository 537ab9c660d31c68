// Whole runs of the real ferrix.exe, from the command line through OK and the progress dialog to
// the exit code, worked from another process: what lands in the destination, what is left in the
// source, the counted captions, cancelling from the keyboard, which dialog stays on top, the
// current directory at exit, and the runs that must not start at all.
#include "tests/ui/FerrixTest.h"

#include "tests/driver/FolderTree.h"
#include "tests/driver/ProbeHook.h"
#include "tests/driver/RemoteControls.h"
#include "tests/driver/Screenshot.h"
#include "ui/resources/Resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <regex>

namespace {

// Bytes that differ from file to file and, within 64 KiB, from position to position; cheap to
// make in the sizes that keep a copy going long enough to be watched.
std::string Content(size_t size, unsigned seed)
{
    std::string block(std::min<size_t>(size, 1 << 16), '\0');
    for (char& byte : block) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 16);
    }
    std::string bytes;
    bytes.reserve(size);
    while (bytes.size() < size)
        bytes.append(block, 0, std::min(block.size(), size - bytes.size()));
    return bytes;
}

using Files = std::map<std::wstring, std::string>;

class RunTest : public FerrixTest {
protected:
    RunTest() : source(root / L"from"), destination(root / L"to"), start(root / L"start"), exitRecord(root / L"exit.txt")
    {
        MakeFolders(start);
    }

    // ferrix.exe on `source` and `destination`, started in `start` and with the probe recording
    // its current directory at exit.
    std::unique_ptr<DrivenProcess> StartRun(const std::map<std::wstring, std::wstring>& probeVariables = {})
    {
        std::map<std::wstring, std::wstring> environment = probeVariables;
        environment[ProbeHook::exitRecord] = exitRecord;
        return std::make_unique<DrivenProcess>(FerrixCommand(Quote(source) + L" " + Quote(destination)), start,
                                               environment);
    }

    // Waits for the process to end and tells whether a progress dialog was seen meanwhile.
    static bool ProgressSeenBeforeExit(const DrivenProcess& ferrix)
    {
        bool seen = false;
        WaitOrThrow(
            [&] {
                seen = seen || ferrix.FindWindow(WindowQuery().OfClass(L"#32770").WithControl(IDC_PROGRESS_BAR));
                return !ferrix.Running();
            },
            "ferrix.exe to end");
        return seen;
    }

    const std::wstring source;
    const std::wstring destination;
    const std::wstring start;
    const std::wstring exitRecord;
    ProbeHook probe;
};

TEST_F(RunTest, ACopyCountsEveryFileInTheCaptionAndLeavesTheSourceAlone)
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

TEST_F(RunTest, AMoveEmptiesTheSourceOfTheListedFilesAndKeepsItsFolders)
{
    FolderTree::Write(source, {{L"a.txt", "a"}, {L"sub\\b.txt", "b"}, {L"sub\\deep\\c.jpg", "c"}, {L"d.jpg", "d"}});
    MakeFolders(destination);
    const auto ferrix = StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    SetText(Control(dialog, IDC_MASK_EDIT), L"*.jpg");
    PostClick(Control(dialog, IDC_DELETE_CHECK));
    PostClick(Control(dialog, IDOK));
    EXPECT_EQ(ferrix->WaitForExit(), 0u);

    EXPECT_EQ(FolderTree::Read(destination).files, (Files{{L"d.jpg", "d"}, {L"sub.deep.c.jpg", "c"}}));
    const FolderTree left = FolderTree::Read(source);
    EXPECT_EQ(left.files, (Files{{L"a.txt", "a"}, {L"sub\\b.txt", "b"}}));
    EXPECT_EQ(left.folders, (std::set<std::wstring>{L"sub", L"sub\\deep"}));
    EXPECT_EQ(ProbeHook::ReadExitRecord(exitRecord), start);
}

TEST_F(RunTest, ABackslashSeparatorRebuildsTheTree)
{
    const Files files = {{L"a.txt", "a"}, {L"sub\\b.txt", "b"}, {L"sub\\deep\\c.txt", "c"}};
    FolderTree::Write(source, files);
    const auto ferrix = StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    SetText(Control(dialog, IDC_SEPARATOR_EDIT), L"\\");
    PostClick(Control(dialog, IDOK));
    MessageBoxWindow(ferrix->WaitForWindow(MessageBoxWindow::OwnedBy(dialog))).Answer(IDYES);
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
    EXPECT_EQ(FolderTree::Read(destination).files, files);
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

class CancellingTest : public RunTest, public testing::WithParamInterface<Cancelling> {};

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

TEST_F(RunTest, OnlyTheProgressDialogStaysAboveOtherWindows)
{
    FolderTree::Write(source, {{L"a.bin", Content(64 << 20, 1)}, {L"b.bin", Content(64 << 20, 2)}});
    MakeFolders(destination);
    const auto ferrix = StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    const CoveringWindow cover;
    cover.BringToTop();
    EXPECT_TRUE(IsAbove(cover.handle, dialog));

    PostClick(Control(dialog, IDOK));
    const HWND progress = WaitForProgressDialog(*ferrix);
    cover.BringToTop();
    EXPECT_TRUE(IsAbove(progress, cover.handle));
    EXPECT_TRUE(IsWindowVisible(progress)) << "the run ended before its dialog could be checked";
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
}

// The faults that must end the program before anything is listed: the progress dialog never
// opens, and the files in the folder the program was started in are left alone, in a move too.
class RunThatMustNotStartTest : public RunTest {
protected:
    RunThatMustNotStartTest()
    {
        FolderTree::Write(start, bystanders);
        FolderTree::Write(source, {{L"a.txt", "a"}});
        MakeFolders(destination);
    }

    void ExpectNothingTouched()
    {
        EXPECT_EQ(FolderTree::Read(start).files, bystanders);
        EXPECT_EQ(FolderTree::Read(source).files, (Files{{L"a.txt", "a"}}));
        EXPECT_TRUE(FolderTree::Read(destination).files.empty());
        EXPECT_EQ(ProbeHook::ReadExitRecord(exitRecord), start);
    }

    const Files bystanders = {{L"bystander.txt", "keep me"}, {L"sub\\other.txt", "me too"}};
};

TEST_F(RunThatMustNotStartTest, ASourceThatCannotBeEnteredEndsTheProgram)
{
    // Held open without sharing by another program, the source still reads as an existing
    // folder, but cannot be made the current directory (ERROR_SHARING_VIOLATION).
    std::unique_ptr<void, decltype(&CloseHandle)> held(
        CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr),
        CloseHandle);
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
    const auto ferrix = StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    PostClick(Control(dialog, IDC_DELETE_CHECK));
    PostClick(Control(dialog, IDOK));
    EXPECT_FALSE(ProgressSeenBeforeExit(*ferrix));
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
    held.reset(); // the source can be read again
    ExpectNothingTouched();
}

TEST_F(RunThatMustNotStartTest, AMainDialogThatCannotBeCreatedStartsNoRun)
{
    const auto ferrix = StartRun({{ProbeHook::failFirstDialog, L"1"}});
    EXPECT_FALSE(ProgressSeenBeforeExit(*ferrix));
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
    ExpectNothingTouched();
}

TEST_F(RunTest, ACurrentDirectoryLongerThanMaxPathIsRestoredExactly)
{
    std::wstring longFolder = root / L"long";
    while (longFolder.size() <= 2 * MAX_PATH)
        longFolder += L"\\" + std::wstring(40, L'd');
    MakeFolders(longFolder);
    FolderTree::Write(source, {{L"a.txt", "a"}});
    const auto ferrix = StartRun({{ProbeHook::startFolder, longFolder}});
    const HWND dialog = WaitForMainDialog(*ferrix);
    PostClick(Control(dialog, IDOK));
    MessageBoxWindow(ferrix->WaitForWindow(MessageBoxWindow::OwnedBy(dialog))).Answer(IDYES);
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
    EXPECT_EQ(FolderTree::Read(destination).files, (Files{{L"a.txt", "a"}}));
    EXPECT_EQ(ProbeHook::ReadExitRecord(exitRecord), longFolder);
}

TEST_F(RunTest, ScreenshotsOfBothDialogs)
{
    FolderTree::Write(source, {{L"2024\\a.jpg", "a"},
                               {L"2024\\b.jpg", "b"},
                               {L"2024\\summer\\beach.jpg", Content(128 << 20, 1)},
                               {L"2024\\notes.txt", "n"}});
    MakeFolders(destination);
    const auto ferrix = StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    SetText(Control(dialog, IDC_MASK_EDIT), L"*.jpg");
    // Away from the middle of the screen, where the dialogs of tests running alongside appear.
    SetWindowPos(dialog, nullptr, 16, 16, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SaveScreenshot(dialog, ScreenshotPath(L"main-dialog.png"));

    PostClick(Control(dialog, IDOK));
    const HWND progress = WaitForProgressDialog(*ferrix);
    SetWindowPos(progress, nullptr, 16, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    WaitOrThrow([&] { return CaptionOf(Control(progress, IDC_TO_TEXT)) == destination + L"\\2024.summer.beach.jpg"; },
                "the progress dialog to show the first file");
    EXPECT_EQ(CaptionOf(progress), L"Ferrix (3/3)");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_STATUS_TEXT)), L"Copying:");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_FROM_LABEL)), L"From:");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_FROM_TEXT)), source + L"\\2024\\summer\\beach.jpg");
    EXPECT_EQ(CaptionOf(Control(progress, IDC_TO_LABEL)), L"To:");
    SaveScreenshot(progress, ScreenshotPath(L"progress-dialog.png"));
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
}

} // namespace
