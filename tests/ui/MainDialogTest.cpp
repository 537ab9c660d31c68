// The main dialog of the real ferrix.exe, worked from another process: what the command line
// fills in, every validation message in the order of the checks, the destination question, the
// ways out, the folder browser and the keyboard.
#include "tests/ui/FerrixTest.h"

#include "tests/driver/FolderTree.h"
#include "tests/driver/RemoteControls.h"
#include "ui/resources/Resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <stdexcept>

namespace {

class MainDialogTest : public FerrixTest {};

struct Prefill {
    const char* name;
    const wchar_t* arguments;
    const wchar_t* source;
    const wchar_t* destination;
};

void PrintTo(const Prefill& prefill, std::ostream* out)
{
    *out << prefill.name;
}

class PrefillTest : public FerrixTest, public testing::WithParamInterface<Prefill> {};

TEST_P(PrefillTest, TheCommandLineFillsTheFoldersOnly)
{
    DrivenProcess ferrix(FerrixCommand(GetParam().arguments));
    const HWND dialog = WaitForMainDialog(ferrix);
    EXPECT_EQ(EditText(dialog, 0), GetParam().source);
    EXPECT_EQ(EditText(dialog, 1), GetParam().destination);
    EXPECT_EQ(EditText(dialog, 2), L"*");
    EXPECT_EQ(EditText(dialog, 3), L".");
    EXPECT_FALSE(IsChecked(Control(dialog, IDC_DELETE_CHECK)));
    PostClick(Control(dialog, IDCANCEL));
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, PrefillTest,
    testing::Values(Prefill{"NoArguments", L"", L"", L""},
                    Prefill{"QuotedFirstWithABlank", L"\"C:\\My Photos\" D:\\Flat", L"C:\\My Photos", L"D:\\Flat"},
                    Prefill{"EmptyFirst", L"\"\" C:\\From C:\\To", L"C:\\From", L"C:\\To"},
                    Prefill{"ThreeArguments", L"C:\\a C:\\b C:\\c", L"C:\\a", L"C:\\b"}),
    [](const testing::TestParamInfo<Prefill>& info) { return info.param.name; });

// One rejected OK: the settings as typed, the one message that the first failing check shows, and
// the edit that then has the focus (0 source, 1 destination, 3 separator).
struct Rejection {
    const char* name;
    const wchar_t* source;      // below the test's folder unless empty
    const wchar_t* destination; // below the test's folder unless empty or on a drive of its own
    const wchar_t* separator;
    const wchar_t* message;
    int focused;
};

void PrintTo(const Rejection& rejection, std::ostream* out)
{
    *out << rejection.name;
}

const wchar_t* const invalidSeparator = L"Invalid separator!\nPlease don't use *?:|\"<> chars.";
const wchar_t* const createQuestion = L"Destination folder doesn't exist!\nDo you want to create destination folder?";
const wchar_t* const isAFile = L"Destination is a file, not a folder!";
const wchar_t* const cannotCreate = L"Cannot create destination folder!";

class RejectionTest : public FerrixTest, public testing::WithParamInterface<Rejection> {
protected:
    std::wstring Below(const wchar_t* text) { return !*text || text[1] == L':' ? text : root / text; }
};

TEST_P(RejectionTest, OkShowsTheFirstProblemAndKeepsTheDialogAsTyped)
{
    MakeFolders(root / L"folder");
    WriteFileBytes(root / L"file.txt", "a file");
    DrivenProcess ferrix(FerrixCommand());
    const HWND dialog = WaitForMainDialog(ferrix);
    const std::wstring source = Below(GetParam().source);
    const std::wstring destination = Below(GetParam().destination);
    Fill(dialog, source, destination, L"*.jpg", GetParam().separator);

    if (GetParam().message != cannotCreate) {
        EXPECT_EQ(PressOkAndAnswer(ferrix, dialog, IDOK), GetParam().message);
    } else { // told only after Yes to the question
        EXPECT_EQ(PressOkAndAnswer(ferrix, dialog, IDYES, {IDYES, IDNO}), createQuestion);
        const MessageBoxWindow box = WaitForMessageBox(ferrix, dialog);
        EXPECT_EQ(box.Text(), cannotCreate);
        box.Answer(IDOK);
        ferrix.WaitForWindowGone(box.handle, "the message box");
    }

    // One message only, and the dialog stays with the texts as typed, the focus moved into the
    // edit at fault as Tab moves it, which selects the edit's text.
    Settle(dialog);
    EXPECT_EQ(ferrix.Windows(), std::vector<HWND>{dialog});
    const HWND focused = Control(dialog, IDC_SOURCE_EDIT + GetParam().focused);
    DWORD_PTR selection = 0;
    SendMessageTimeoutW(focused, EM_GETSEL, 0, 0, SMTO_NORMAL, defaultWait, &selection);
    EXPECT_EQ(selection, static_cast<DWORD_PTR>(MAKELONG(0, TextOf(focused).size())));
    // Wine: a thread whose window a dialog of another test's process has just deactivated has no
    // active window and no focus; the dialog manager gives the focus back to the edit later.
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
    if (thread.hwndActive == dialog) {
        EXPECT_EQ(thread.hwndFocus, focused);
    }
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(EditText(dialog, 0), source);
    EXPECT_EQ(EditText(dialog, 1), destination);
    EXPECT_EQ(EditText(dialog, 2), L"*.jpg");
    EXPECT_EQ(EditText(dialog, 3), GetParam().separator);
    PostClick(Control(dialog, IDCANCEL));
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
    EXPECT_FALSE(FolderExists(root / L"to")) << "a rejected OK creates nothing";
    EXPECT_EQ(ReadFileBytes(root / L"file.txt"), "a file");
}

// The last three destinations cannot be made: below a file, on a drive that no test makes
// (TempDrive takes R: to W:) and with a character that no name may hold.
INSTANTIATE_TEST_SUITE_P(
    ChecksInOrder, RejectionTest,
    testing::Values(Rejection{"BothFoldersEmpty", L"", L"", L".", L"Missing source folder", 0},
                    Rejection{"DestinationEmpty", L"missing", L"", L"<", L"Missing destination folder", 1},
                    Rejection{"SeparatorBeforeAMissingSource", L"missing", L"to", L"a<b", invalidSeparator, 3},
                    Rejection{"SourceMissing", L"missing", L"to", L"_", L"Source folder doesn't exist!", 0},
                    Rejection{"SourceIsAFile", L"file.txt", L"to", L"\\", L"Source folder doesn't exist!", 0},
                    Rejection{"DestinationIsAFile", L"folder", L"file.txt", L".", isAFile, 1},
                    Rejection{"DestinationBelowAFile", L"folder", L"file.txt\\sub", L".", cannotCreate, 1},
                    Rejection{"DestinationOnAMissingDrive", L"folder", L"Q:\\flat", L".", cannotCreate, 1},
                    Rejection{"DestinationWithAnInvalidName", L"folder", L"bad<name", L".", cannotCreate, 1}),
    [](const testing::TestParamInfo<Rejection>& info) { return info.param.name; });

TEST_F(MainDialogTest, EachOfTheSevenForbiddenCharactersRejectsTheSeparator)
{
    MakeFolders(root / L"from");
    DrivenProcess ferrix(FerrixCommand(Quote(root / L"from") + L" " + Quote(root / L"to")));
    const HWND dialog = WaitForMainDialog(ferrix);
    for (const wchar_t forbidden : std::wstring(L"*?:|\"<>")) {
        SetText(Control(dialog, IDC_SEPARATOR_EDIT), std::wstring(L"-") + forbidden + L"-");
        EXPECT_EQ(PressOkAndAnswer(ferrix, dialog, IDOK), invalidSeparator) << "for " << static_cast<char>(forbidden);
    }
    PostClick(Control(dialog, IDCANCEL));
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
}

TEST_F(MainDialogTest, AMissingDestinationIsCreatedWithItsParentsOnlyAfterYes)
{
    FolderTree::Write(root / L"from", {{L"a.txt", "a"}, {L"sub\\b.txt", "b"}});
    const std::wstring destination = root / L"new\\deeper\\to";
    DrivenProcess ferrix(FerrixCommand(Quote(root / L"from") + L" " + Quote(destination)));
    const HWND dialog = WaitForMainDialog(ferrix);

    // No keeps the dialog open, and OK asks again.
    EXPECT_EQ(PressOkAndAnswer(ferrix, dialog, IDNO, {IDYES, IDNO}), createQuestion);
    Settle(dialog);
    EXPECT_EQ(ferrix.Windows(), std::vector<HWND>{dialog});
    EXPECT_FALSE(FolderExists(root / L"new"));
    PostClick(Control(dialog, IDOK));
    const MessageBoxWindow again = WaitForMessageBox(ferrix, dialog);
    EXPECT_EQ(again.Text(), createQuestion);

    again.Answer(IDYES);
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
    const FolderTree copied = FolderTree::Read(destination);
    EXPECT_EQ(copied.files, (std::map<std::wstring, std::string>{{L"a.txt", "a"}, {L"sub.b.txt", "b"}}));
}

TEST_F(MainDialogTest, AnEmptyMaskAndAnEmptySeparatorPass)
{
    FolderTree::Write(root / L"from", {{L"a.txt", "a"}, {L"sub\\b.jpg", "b"}});
    MakeFolders(root / L"to");
    DrivenProcess ferrix(FerrixCommand());
    const HWND dialog = WaitForMainDialog(ferrix);
    Fill(dialog, root / L"from", root / L"to", L"", L"");
    PostClick(Control(dialog, IDOK));
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
    EXPECT_EQ(FolderTree::Read(root / L"to").files,
              (std::map<std::wstring, std::string>{{L"a.txt", "a"}, {L"subb.jpg", "b"}}));
}

// Leaving the dialog without OK: nothing is copied or created, and the exit code is 0.
struct Leaving {
    const char* name;
    void (*leave)(HWND dialog);
};

void PrintTo(const Leaving& leaving, std::ostream* out)
{
    *out << leaving.name;
}

class LeavingTest : public FerrixTest, public testing::WithParamInterface<Leaving> {};

TEST_P(LeavingTest, EndsTheProgramWithoutCopying)
{
    FolderTree::Write(root / L"from", {{L"a.txt", "a"}});
    DrivenProcess ferrix(FerrixCommand(Quote(root / L"from") + L" " + Quote(root / L"to")));
    const HWND dialog = WaitForMainDialog(ferrix);
    SetText(Control(dialog, IDC_MASK_EDIT), L"*.txt");
    PostClick(Control(dialog, IDC_DELETE_CHECK));
    GetParam().leave(dialog);
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
    EXPECT_FALSE(FolderExists(root / L"to"));
    EXPECT_EQ(FolderTree::Read(root / L"from").files, (std::map<std::wstring, std::string>{{L"a.txt", "a"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, LeavingTest,
    testing::Values(Leaving{"CancelButton", [](HWND dialog) { PostClick(Control(dialog, IDCANCEL)); }},
                    Leaving{"EscapeKey", [](HWND dialog) { PostKey(dialog, VK_ESCAPE); }},
                    Leaving{"CloseBox", [](HWND dialog) { PostClose(dialog); }}),
    [](const testing::TestParamInfo<Leaving>& info) { return info.param.name; });

TEST_F(MainDialogTest, EnterIsOk)
{
    FolderTree::Write(root / L"from", {{L"a.txt", "a"}});
    MakeFolders(root / L"to");
    DrivenProcess ferrix(FerrixCommand(Quote(root / L"from") + L" " + Quote(root / L"to")));
    const HWND dialog = WaitForMainDialog(ferrix);
    PostKey(dialog, VK_RETURN);
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
    EXPECT_EQ(FolderTree::Read(root / L"to").files, (std::map<std::wstring, std::string>{{L"a.txt", "a"}}));
}

// The folder browser of one "..." button, opened owned by the main dialog.
HWND OpenBrowser(const DrivenProcess& ferrix, HWND dialog, int button)
{
    PostClick(Control(dialog, button));
    return ferrix.WaitForWindow(WindowQuery().OfClass(L"#32770").Captioned(L"Browse for Folder").OwnedBy(dialog));
}

HWND TreeOf(HWND browser)
{
    return FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
}

// A folder for the browser tests right below C:\, with a name that needs no 8.3 short name.
// Wine's folder browser now and then selects nothing when asked to select a folder: below the
// temporary folder, where test folders of like names come and go, 5 times in 40, and under load
// twice running in one process; for C:\FB<process>\photos it selected the folder 40 times of 40.
class BrowsedFolder {
public:
    BrowsedFolder() : path(L"C:\\FB" + std::to_wstring(GetCurrentProcessId() % 1000000)) { MakeFolders(path); }
    ~BrowsedFolder() { RemoveTree(path); }
    BrowsedFolder(const BrowsedFolder&) = delete;
    BrowsedFolder& operator=(const BrowsedFolder&) = delete;

    const std::wstring path;
};

// The folder browser of one "..." button, opened on the edit's folder, whose name it shows
// selected once it is up. A browser that has not selected it (see BrowsedFolder) is cancelled and
// opened once more, as a person would.
HWND OpenBrowserOn(const DrivenProcess& ferrix, HWND dialog, int button, const std::wstring& folderName)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const HWND browser = OpenBrowser(ferrix, dialog, button);
        if (WaitUntil([&] { return SelectedTreeItemText(TreeOf(browser)) == folderName; }))
            return browser;
        PostClick(Control(browser, IDCANCEL));
        ferrix.WaitForWindowGone(browser, "the folder browser");
    }
    throw std::runtime_error("the folder browser did not select " + Utf8(folderName) + ", twice");
}

std::vector<std::wstring> StaticTexts(HWND window)
{
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == L"Static" && !CaptionOf(child).empty())
            texts.push_back(CaptionOf(child));
    return texts;
}

TEST_F(MainDialogTest, CancellingTheFolderBrowserLeavesTheEditAsItWas)
{
    const BrowsedFolder folder;
    const std::wstring photos = folder.path + L"\\photos";
    MakeFolders(photos);
    DrivenProcess ferrix(FerrixCommand(Quote(photos)));
    const HWND dialog = WaitForMainDialog(ferrix);

    const HWND source = OpenBrowserOn(ferrix, dialog, IDC_BROWSE_SOURCE, L"photos");
    const std::vector<std::wstring> texts = StaticTexts(source);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Source folder:"), texts.end());
    PostClick(Control(source, IDCANCEL));
    ferrix.WaitForWindowGone(source, "the folder browser");
    EXPECT_EQ(EditText(dialog, 0), photos);

    const HWND destination = OpenBrowser(ferrix, dialog, IDC_BROWSE_DESTINATION);
    const std::vector<std::wstring> destinationTexts = StaticTexts(destination);
    EXPECT_NE(std::find(destinationTexts.begin(), destinationTexts.end(), L"Destination folder:"), destinationTexts.end());
    PostClick(Control(destination, IDCANCEL));
    ferrix.WaitForWindowGone(destination, "the folder browser");
    EXPECT_EQ(EditText(dialog, 1), L"");

    PostClick(Control(dialog, IDCANCEL));
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
}

TEST_F(MainDialogTest, TheFolderPickedInTheBrowserGoesIntoTheEdit)
{
    const BrowsedFolder folder;
    MakeFolders(folder.path + L"\\photos");
    DrivenProcess ferrix(FerrixCommand());
    const HWND dialog = WaitForMainDialog(ferrix);
    SetText(Control(dialog, IDC_DESTINATION_EDIT), folder.path + L"\\photos");
    const HWND browser = OpenBrowserOn(ferrix, dialog, IDC_BROWSE_DESTINATION, L"photos");
    ASSERT_TRUE(SelectParentTreeItem(TreeOf(browser)));
    PostClick(Control(browser, IDOK));
    ferrix.WaitForWindowGone(browser, "the folder browser");
    EXPECT_EQ(EditText(dialog, 1), folder.path);
    PostClick(Control(dialog, IDCANCEL));
    EXPECT_EQ(ferrix.WaitForExit(), 0u);
}

} // namespace
