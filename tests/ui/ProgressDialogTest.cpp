// The progress dialog and its worker as the user sees them: the texts, captions and bar positions
// in the order the worker writes them, cancellation at each point, and the dialog's own window.
#include "tests/ui/ProgressRunTest.h"

#include "ui/resources/Resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using Trace = ObservedProgressDialog::Trace;

// What the dialog and the worker write before the first file.
Trace Preamble(int count)
{
    return {L"caption Ferrix",   L"status Listing files ...", L"fromLabel ",
            L"toLabel ",         L"status Copying:",          L"fromLabel From:",
            L"toLabel To:",      L"range 0 " + std::to_wstring(count), L"position 0"};
}

void Append(Trace& trace, const Trace& more)
{
    trace.insert(trace.end(), more.begin(), more.end());
}

class ProgressDialogTest : public ProgressRunTest {
protected:
    ProgressDialogTest()
    {
        WriteSource(L"a.txt", std::string("a\0\xff\r\n", 5));
        WriteSource(L"sub\\b.txt", "bee");
        WriteSource(L"sub\\deep\\c.txt", std::string(70000, 'c'));
        settings.separator = L".";
    }

    // The lines of file `number` of three, with the bar at `number` - 1 after it.
    Trace FileLines(int number, const std::wstring& entry, const std::wstring& target) const
    {
        return {L"caption Ferrix (" + std::to_wstring(number) + L"/3)", L"from " + source + L"\\" + entry,
                L"to " + destination + L"\\" + target, L"position " + std::to_wstring(number - 1)};
    }
};

// Also the dialog's own window, as it is while the worker copies: topmost, with the application icon.
TEST_F(ProgressDialogTest, ThreeFilesAreCountedShownAndCopiedInOrder)
{
    ObservedProgressDialog dialog(settings);
    Run(dialog);

    Trace expected = Preamble(3);
    Append(expected, FileLines(1, L"a.txt", L"a.txt"));
    Append(expected, FileLines(2, L"sub\\b.txt", L"sub.b.txt"));
    Append(expected, FileLines(3, L"sub\\deep\\c.txt", L"sub.deep.c.txt"));
    expected.push_back(L"position 3");
    EXPECT_EQ(dialog.trace, expected);

    EXPECT_EQ(ReadFileBytes(destination + L"\\a.txt"), std::string("a\0\xff\r\n", 5));
    EXPECT_EQ(ReadFileBytes(destination + L"\\sub.b.txt"), "bee");
    EXPECT_EQ(ReadFileBytes(destination + L"\\sub.deep.c.txt"), std::string(70000, 'c'));
    EXPECT_TRUE(FileExists(source + L"\\sub\\deep\\c.txt")) << "a copy keeps its sources";

    EXPECT_TRUE(dialog.topmost);
    EXPECT_NE(dialog.bigIcon, nullptr);
    EXPECT_EQ(dialog.bigIcon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP)));
}

TEST_F(ProgressDialogTest, WithoutAMatchTheDialogShowsTheLabelsCreatesTheDestinationAndCloses)
{
    settings.mask = L"*.none";
    settings.destination = root / L"new\\deeper\\dst";

    Trace expected = Preamble(0);
    expected.push_back(L"position 0");
    EXPECT_EQ(Run(), expected);
    EXPECT_TRUE(FolderExists(root / L"new\\deeper\\dst"));
}

TEST_F(ProgressDialogTest, AnEmptyMaskListsEveryFile)
{
    settings.mask = L"";
    const Trace trace = Run();
    ASSERT_GE(trace.size(), 8u);
    EXPECT_EQ(trace[7], L"range 0 3");
    EXPECT_TRUE(FileExists(destination + L"\\sub.deep.c.txt"));
}

TEST_F(ProgressDialogTest, CancelSeenAtTheSecondFileEndsTheRunAfterIt)
{
    settings.deleteSource = true;
    ObservedProgressDialog dialog(settings);
    dialog.onRecord = [](ObservedProgressDialog& observed, const std::wstring& line) {
        if (line == L"caption Ferrix (2/3)")
            observed.cancelRequested = true;
    };
    Run(dialog);

    Trace expected = Preamble(3);
    Append(expected, FileLines(1, L"a.txt", L"a.txt"));
    Append(expected, FileLines(2, L"sub\\b.txt", L"sub.b.txt"));
    EXPECT_EQ(dialog.trace, expected) << "file 3 is not started and the bar stays at 1";

    EXPECT_EQ(ReadFileBytes(destination + L"\\sub.b.txt"), "bee");
    EXPECT_FALSE(FileExists(source + L"\\sub\\b.txt")) << "the file being copied is moved to its end";
    EXPECT_TRUE(FileExists(source + L"\\sub\\deep\\c.txt"));
    EXPECT_FALSE(FileExists(destination + L"\\sub.deep.c.txt"));
}

TEST_F(ProgressDialogTest, CancelBeforeTheRunCopiesNothing)
{
    ObservedProgressDialog dialog(settings);
    dialog.cancelRequested = true;
    Run(dialog);

    EXPECT_EQ(dialog.trace, Preamble(3)) << "the labels and range are set, the bar stays at 0";
    EXPECT_TRUE(FolderExists(destination));
    EXPECT_FALSE(FileExists(destination + L"\\a.txt"));
}

// What the user does while the first file is copied: clicks Cancel (IDCANCEL also stands for
// Enter and Escape), the close box (WM_CLOSE), or several of them.
struct Requests {
    const char* name;
    std::vector<UINT> messages;
};

void PrintTo(const Requests& requests, std::ostream* out)
{
    *out << requests.name;
}

class CancelRequestTest : public ProgressDialogTest, public testing::WithParamInterface<Requests> {};

TEST_P(CancelRequestTest, OnlyRaisesTheRequestAndTheWorkerEndsTheDialog)
{
    ObservedProgressDialog dialog(settings);
    bool visibleAfterRequests = false;
    dialog.onRecord = [&](ObservedProgressDialog& observed, const std::wstring& line) {
        if (line != L"caption Ferrix (1/3)")
            return;
        // The dialog manager shows the dialog when its modal loop first finds no message waiting,
        // which may come after the worker's first file; a person clicks a dialog that is shown.
        ShowWindow(observed.handle, SW_SHOWNORMAL);
        for (UINT message : GetParam().messages) {
            if (message == WM_COMMAND)
                SendMessageW(observed.handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(observed.handle, IDCANCEL)));
            else
                SendMessageW(observed.handle, message, 0, 0);
        }
        visibleAfterRequests = IsWindowVisible(observed.handle) != FALSE;
    };
    Run(dialog);

    EXPECT_TRUE(dialog.cancelRequested);
    EXPECT_TRUE(visibleAfterRequests);
    Trace expected = Preamble(3);
    Append(expected, FileLines(1, L"a.txt", L"a.txt"));
    EXPECT_EQ(dialog.trace, expected) << "the dialog stays open until the worker has finished file 1";
    EXPECT_TRUE(FileExists(destination + L"\\a.txt"));
    EXPECT_FALSE(FileExists(destination + L"\\sub.b.txt"));
}

INSTANTIATE_TEST_SUITE_P(, CancelRequestTest,
                         testing::Values(Requests{"CancelButton", {WM_COMMAND}}, Requests{"CloseBox", {WM_CLOSE}},
                                         Requests{"Repeated", {WM_COMMAND, WM_CLOSE, WM_COMMAND}}),
                         [](const testing::TestParamInfo<Requests>& info) { return info.param.name; });

} // namespace
