// Every printable ASCII character on its own as the separator, and on its own as the mask, typed
// into the real main dialog in this process: a separator that the dialog refuses gives the
// validation message and changes nothing; any other input ends the dialog with OK, and its run
// (a move) is held against the outcome that the rules give.
#include "tests/driver/MessageBoxWindow.h"
#include "tests/driver/RemoteControls.h"
#include "tests/driver/Wait.h"
#include "tests/reliability/CheckedRunTest.h"
#include "tests/reliability/TreeState.h"
#include "ui/MainDialog.h"
#include "ui/resources/Resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace {

// The main dialog with "Delete source files" ticked and OK pressed as soon as it is up.
class MoveAtOnce : public MainDialog {
public:
    using MainDialog::MainDialog;
    bool OnInitDialog() override
    {
        MainDialog::OnInitDialog();
        shown = handle;
        SendDlgItemMessageW(handle, IDC_DELETE_CHECK, BM_SETCHECK, BST_CHECKED, 0);
        PostMessageW(handle, WM_COMMAND, IDOK, 0);
        return true;
    }

    std::atomic<HWND> shown = nullptr; // for the thread that answers its message box
};

class PrintableInputTest : public CheckedRunTest, public testing::WithParamInterface<int> {
protected:
    PrintableInputTest() { MakeFolders(destination); }

    std::wstring Character() const { return std::wstring(1, static_cast<wchar_t>(GetParam())); }

    // Runs the main dialog on the settings, ticks "Delete source files", presses OK and answers the message box that comes, if
    // one does, then cancels the dialog. Returns the dialog's end code; `message` gets the box's text.
    INT_PTR PressOk(std::wstring& message)
    {
        MoveAtOnce dialog(settings);
        std::atomic<bool> ended = false;
        std::thread answerer([&] {
            // A box owned by the dialog: the dialog itself, a dialog with static texts, would match
            // the class and the text control too.
            HWND owner = nullptr, box = nullptr;
            WaitUntil([&] {
                owner = dialog.shown;
                for (HWND window : TopWindowsOf(GetCurrentProcessId()))
                    if (owner != nullptr && MessageBoxWindow::OwnedBy(owner).Matches(window))
                        box = window;
                return box != nullptr || ended;
            });
            if (box == nullptr)
                return;
            message = MessageBoxWindow(box).Text();
            MessageBoxWindow(box).Answer(IDOK);
            WaitUntil([&] { return !IsWindow(box); });
            PostMessageW(owner, WM_COMMAND, IDCANCEL, 0);
        });
        const INT_PTR result = dialog.RunModal();
        ended = true;
        answerer.join();
        return result;
    }
};

std::string CharacterName(const testing::TestParamInfo<int>& info)
{
    char name[8];
    std::snprintf(name, sizeof name, "x%02X", info.param);
    return name;
}

class SeparatorCharacterTest : public PrintableInputTest {};

TEST_P(SeparatorCharacterTest, IsRefusedWithTheMessageOrRunsByTheRules)
{
    const std::wstring separator = Character();
    WriteSource(L"top.txt", "top");
    WriteSource(L"sub\\a.txt", "below sub");
    WriteSource(L"sub\\deep\\b.txt", "below deep");
    // Where the character may stand in a name, a file whose name the folded sub\a.txt takes.
    if (separator.find_first_of(L"\\/*?:|\"<>") == std::wstring::npos)
        WriteSource(L"sub" + separator + L"a.txt", "named like the fold");
    settings.separator = separator;
    const TreeState before = ReadTree(root.Path());

    std::wstring message;
    const INT_PTR result = PressOk(message);
    if (separator.find_first_of(L"*?:|\"<>") != std::wstring::npos) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(message, L"Invalid separator!\nPlease don't use *?:|\"<> chars.");
        const TreeState after = ReadTree(root.Path());
        EXPECT_TRUE(ChangesOutside(before, after, {L""}, {}).empty() && after.files.size() == before.files.size())
            << "a refused separator changes nothing";
        return;
    }
    EXPECT_EQ(result, 1) << "the dialog said: " << Utf8(message);
    ASSERT_EQ(settings.separator, separator);
    ASSERT_TRUE(settings.deleteSource);
    RunAndCheck("separator \"" + Utf8(separator) + "\"");
}

INSTANTIATE_TEST_SUITE_P(Printable, SeparatorCharacterTest, testing::Range(0x20, 0x7F), CharacterName);

class MaskCharacterTest : public PrintableInputTest {};

// Files named so that most masks of one character match one or two of them, in letter case or
// through a short name, and some match none.
TEST_P(MaskCharacterTest, RunsByTheRules)
{
    for (const wchar_t* name : {L"a", L"B", L"1", L"_", L"-", L"~", L"!", L"#", L"x.txt", L"a b.txt", L".hidden",
                                L"sub\\a", L"sub\\C", L"sub\\z.txt"})
        WriteSource(name, "content of " + Utf8(name));
    settings.mask = Character();

    std::wstring message;
    EXPECT_EQ(PressOk(message), 1) << "the mask is not checked; the dialog said: " << Utf8(message);
    ASSERT_EQ(settings.mask, Character());
    ASSERT_TRUE(settings.deleteSource);
    // A lone backslash, or a slash, which the listing reads as one, names the root of the current
    // drive: the listing would search every folder of the drive (over a minute under Wine, and the
    // listing cannot be cancelled) for a name part that matches nothing. FileListerTest checks on a
    // small tree that a mask ending in a backslash lists nothing.
    if (settings.mask == L"\\" || settings.mask == L"/")
        return;
    RunAndCheck("mask \"" + Utf8(settings.mask) + "\"");
}

INSTANTIATE_TEST_SUITE_P(Printable, MaskCharacterTest, testing::Range(0x20, 0x7F), CharacterName);

} // namespace
