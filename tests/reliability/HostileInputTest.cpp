// The real ferrix.exe given input at the limits of what a person or a caller can give it: command
// lines of 10,000 tokens, of the most characters that CreateProcessW passes on, and of 100,000
// characters; and every edit of the main dialog filled to its limit. The program must not crash,
// must end with exit code 0, and must lose no file and write nothing outside the destination.
#include "tests/driver/FolderTree.h"
#include "tests/driver/RemoteControls.h"
#include "tests/ui/FerrixTest.h"
#include "ui/resources/Resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using Files = std::map<std::wstring, std::string>;

// What CreateProcessW passes on at the most: 32,767 characters with the terminating null.
const size_t longestCommandLine = 32766;

class HostileInputTest : public FerrixTest {
protected:
    HostileInputTest() : source(root / L"src"), destination(root / L"dst")
    {
        FolderTree::Write(source, tree);
        FolderTree::Write(root / L"beside", beside);
        MakeFolders(destination);
    }

    // The command line that starts ferrix.exe on the two folders.
    std::wstring CommandWithFolders() const { return FerrixCommand(Quote(source) + L" " + Quote(destination)); }

    // Checks that the main dialog shows the two folders and the start values, and leaves it.
    void ExpectFoldersPrefilledAndLeave(const DrivenProcess& ferrix) const
    {
        const HWND dialog = WaitForMainDialog(ferrix);
        EXPECT_EQ(EditText(dialog, 0), source);
        EXPECT_EQ(EditText(dialog, 1), destination);
        EXPECT_EQ(EditText(dialog, 2), L"*");
        EXPECT_EQ(EditText(dialog, 3), L".");
        PostClick(Control(dialog, IDCANCEL));
        EXPECT_EQ(ferrix.WaitForExit(), 0u);
        EXPECT_EQ(FolderTree::Read(source).files, tree);
    }

    // The main dialog on the two folders with its four edits given these texts, each cut to the
    // edit's own limit as typing would cut it, and with "Delete source files" ticked. Returns the
    // dialog; `texts` holds what the edits hold.
    HWND FillToTheLimit(const DrivenProcess& ferrix, std::wstring (&texts)[4]) const
    {
        const HWND dialog = WaitForMainDialog(ferrix);
        for (int index = 0; index < 4; ++index) {
            const HWND edit = Control(dialog, IDC_SOURCE_EDIT + index);
            const size_t limit = static_cast<size_t>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
            RecordProperty("limit" + std::to_string(index), static_cast<int>(limit));
            texts[index].resize(std::min(limit, texts[index].size()));
            SetText(edit, texts[index]);
            EXPECT_EQ(TextOf(edit), texts[index]) << "edit " << index;
        }
        PostClick(Control(dialog, IDC_DELETE_CHECK));
        return dialog;
    }

    // Nothing outside the destination may change but the sources that went there whole, each
    // under its path with the separator in place of every backslash.
    void ExpectNoFileLost(const std::wstring& separator) const
    {
        const Files left = FolderTree::Read(source).files;
        const Files copied = FolderTree::Read(destination).files;
        for (const auto& [path, content] : tree) {
            std::wstring target;
            for (const wchar_t c : path)
                target += c == L'\\' ? separator : std::wstring(1, c);
            const auto kept = left.find(path);
            const bool moved = kept == left.end() && copied.contains(target) && copied.at(target) == content;
            EXPECT_TRUE(moved || (kept != left.end() && kept->second == content)) << "lost: " << Utf8(path);
        }
        EXPECT_EQ(FolderTree::Read(root / L"beside").files, beside);
        EXPECT_EQ(FolderTree::Read(root.Path()).files.size(), left.size() + copied.size() + beside.size())
            << "a file written outside the two folders";
    }

    const std::wstring source;
    const std::wstring destination;
    const Files tree = {{L"top.txt", "top"}, {L"sub\\a.txt", "below sub"}};
    const Files beside = {{L"keep.txt", "beside the folders"}};
};

TEST_F(HostileInputTest, TenThousandTokensPrefillOnlyTheFolders)
{
    std::wstring line = CommandWithFolders();
    for (int index = 2; index < 10000; ++index)
        line += L" x";
    ASSERT_LE(line.size(), longestCommandLine);
    const DrivenProcess ferrix(line);
    ExpectFoldersPrefilledAndLeave(ferrix);
}

TEST_F(HostileInputTest, TheLongestLineThatThePlatformPassesPrefillsTheFolders)
{
    std::wstring line = CommandWithFolders();
    while (line.size() + 9 <= longestCommandLine)
        line += L" \"a b c\"";
    line += L" " + std::wstring(longestCommandLine - line.size() - 1, L'z');
    ASSERT_EQ(line.size(), longestCommandLine);
    const DrivenProcess ferrix(line);
    ExpectFoldersPrefilledAndLeave(ferrix);
}

// Windows refuses a longer line, and then nothing starts; Wine starts the program with the line
// cut to 32,766 characters, which still begins with the two folders.
TEST_F(HostileInputTest, AHundredThousandCharactersAreRefusedOrCut)
{
    std::wstring line = CommandWithFolders();
    line += L" " + std::wstring(100000 - line.size() - 1, L'z');
    std::unique_ptr<DrivenProcess> ferrix;
    try {
        ferrix = std::make_unique<DrivenProcess>(line);
    } catch (const std::runtime_error& refused) {
        RecordProperty("refused", refused.what());
        return;
    }
    ExpectFoldersPrefilledAndLeave(*ferrix);
}

TEST_F(HostileInputTest, EditsFilledToTheirLimitWithAMissingSourceGiveItsMessage)
{
    const DrivenProcess ferrix(CommandWithFolders());
    const std::wstring filled(100000, L'x');
    std::wstring texts[4] = {filled, filled, filled, filled};
    const HWND dialog = FillToTheLimit(ferrix, texts);
    EXPECT_EQ(PressOkAndAnswer(ferrix, dialog, IDOK), L"Source folder doesn't exist!");
    PostClick(Control(dialog, IDCANCEL));
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
    EXPECT_EQ(FolderTree::Read(source).files, tree);
}

// The mask and the separator at their limit: a nested file's target name is far too long, so it
// stays; the top file's target has no separator in it.
TEST_F(HostileInputTest, AMaskAndASeparatorAtTheirLimitLoseNoFile)
{
    const DrivenProcess ferrix(CommandWithFolders());
    std::wstring texts[4] = {source, destination, std::wstring(100000, L'*'), std::wstring(100000, L'_')};
    PostClick(Control(FillToTheLimit(ferrix, texts), IDOK));
    EXPECT_EQ(AnswerClosingMessage(ferrix), L"1 of 2 files was not moved:\n\nsub\\a.txt: its name is too long for the destination");
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
    ExpectNoFileLost(texts[3]);
    EXPECT_EQ(FolderTree::Read(source).files.count(L"sub\\a.txt"), 1u);
    RecordProperty("topMoved", FolderTree::Read(destination).files.contains(L"top.txt") ? "yes" : "no");
}

// Both folders spelled out to the edits' limit with "\." after their names: the same folders,
// named by a path far beyond MAX_PATH.
TEST_F(HostileInputTest, FoldersSpelledToTheLimitLoseNoFile)
{
    auto spelled = [](std::wstring folder) {
        while (folder.size() < 100000)
            folder += L"\\.";
        return folder;
    };
    const DrivenProcess ferrix(CommandWithFolders());
    std::wstring texts[4] = {spelled(source), spelled(destination), L"*", L"."};
    const HWND dialog = FillToTheLimit(ferrix, texts);
    PostClick(Control(dialog, IDOK));
    HWND box = nullptr;
    WaitOrThrow([&] { return !ferrix.Running() || (box = ferrix.FindWindow(MessageBoxWindow::OwnedBy(dialog))); },
                "a message or the end of the run", 60000);
    std::wstring message;
    if (box != nullptr) {
        message = MessageBoxWindow(box).Text();
        MessageBoxWindow(box).Answer(MessageBoxWindow(box).Buttons().back()); // OK, or No to creating
        ferrix.WaitForWindowGone(box, "the message box");
        PostClick(Control(dialog, IDCANCEL));
    }
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
    ExpectNoFileLost(L".");
    RecordProperty("message", Utf8(message));
    RecordProperty("moved", static_cast<int>(FolderTree::Read(destination).files.size()));
}

} // namespace
