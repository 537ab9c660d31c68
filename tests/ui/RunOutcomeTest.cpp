// Whole runs of the real ferrix.exe, from the command line through OK to the exit code, worked
// from another process: what lands in the destination, what is left in the source, the current
// directory at exit, and the runs that must not start at all.
#include "tests/ui/RunTest.h"

#include "tests/driver/FolderTree.h"
#include "tests/driver/RemoteControls.h"
#include "ui/resources/Resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace {

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

// A relative destination, also one relative to a drive's current directory, names the folder
// below the folder the program was started in, which the main dialog checks and offers to
// create, and not one below the source folder that the run enters; a full one with a trailing
// blank names the folder without it, as the main dialog's check finds it.
TEST_F(RunTest, ARelativeDestinationIsTheFolderThatTheMainDialogChecked)
{
    FolderTree::Write(source, {{L"2024\\a.jpg", "a"}});
    const std::wstring drive = start.substr(0, 2); // as C:
    const std::pair<std::wstring, std::wstring> typedAndNamed[] = {
        {L"flat", L"flat"}, {drive + L"flat2", L"flat2"}, {start + L"\\flat3 ", L"flat3"}};
    for (const auto& [typed, folder] : typedAndNamed) {
        const auto ferrix = StartRun();
        const HWND dialog = WaitForMainDialog(*ferrix);
        SetText(Control(dialog, IDC_DESTINATION_EDIT), typed);
        PostClick(Control(dialog, IDOK));
        MessageBoxWindow(ferrix->WaitForWindow(MessageBoxWindow::OwnedBy(dialog))).Answer(IDYES);
        EXPECT_EQ(ferrix->WaitForExit(), 0u);
        EXPECT_EQ(FolderTree::Read(start + L"\\" + folder).files, (Files{{L"2024.a.jpg", "a"}})) << Utf8(typed);
    }
    EXPECT_EQ(FolderTree::Read(source).folders, std::set<std::wstring>{L"2024"});
}

// A slash in the mask is a folder delimiter, as it is to the directory search: sub/*.txt moves
// what sub\*.txt moves, and no file that the mask does not name.
TEST_F(RunTest, ASlashInTheMaskIsAFolderDelimiter)
{
    const Files untouched = {{L"x.txt", "x"}, {L"f\\x.txt", "f"}, {L"f\\sub\\x.txt", "f sub"}};
    FolderTree::Write(source, untouched);
    FolderTree::Write(source, {{L"sub\\x.txt", "sub"}});
    MakeFolders(destination);
    const auto ferrix = StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    SetText(Control(dialog, IDC_MASK_EDIT), L"sub/*.txt");
    PostClick(Control(dialog, IDC_DELETE_CHECK));
    PostClick(Control(dialog, IDOK));
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
    EXPECT_EQ(FolderTree::Read(destination).files, (Files{{L"sub.x.txt", "sub"}}));
    EXPECT_EQ(FolderTree::Read(source).files, untouched);
}

// A bare drive names its root, also to a program started in a folder of that drive, whose
// current folder there the platform would otherwise take.
TEST_F(RunTest, ABareDriveNamesItsRoot)
{
    const std::wstring drive = TempDrive(); // its root holds the test's own folder
    const std::wstring folder = root.Path().substr(root.Path().rfind(L'\\') + 1);
    FolderTree::Write(source, {{folder + L".txt", "into the root"}});
    const auto ferrix = StartRun({{ProbeHook::startFolder, drive + L"\\" + folder + L"\\start"}});
    const HWND dialog = WaitForMainDialog(*ferrix);
    SetText(Control(dialog, IDC_DESTINATION_EDIT), drive);
    PostClick(Control(dialog, IDOK));
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
    const std::wstring gathered = drive + L"\\" + folder + L".txt";
    EXPECT_EQ(ReadFileBytes(gathered), "into the root");
    DeleteFileW(gathered.c_str());
    EXPECT_TRUE(FolderTree::Read(start).files.empty());
}

// The source folder typed as the destination through a folder link is the source folder: a move
// folds c\d.txt in place, and a\b.txt, whose target is the listed a_b.txt, stays. Run twice, the
// second run finds nothing new to fold.
TEST_F(RunTest, TheSourceThroughALinkAsTheDestinationLosesNoFile)
{
    const Files kept = {{L"a_b.txt", "top"}, {L"a\\b.txt", "nested"}, {L"c_d.txt", "d"}};
    FolderTree::Write(source, {{L"a_b.txt", "top"}, {L"a\\b.txt", "nested"}, {L"c\\d.txt", "d"}});
    ASSERT_TRUE(MakeFolderLink(root / L"link", L"from")) << "could not create a folder link";
    for (int run = 0; run < 2; ++run) {
        const auto ferrix = StartRun();
        const HWND dialog = WaitForMainDialog(*ferrix);
        SetText(Control(dialog, IDC_DESTINATION_EDIT), root / L"link");
        SetText(Control(dialog, IDC_SEPARATOR_EDIT), L"_");
        PostClick(Control(dialog, IDC_DELETE_CHECK));
        PostClick(Control(dialog, IDOK));
        EXPECT_EQ(AnswerClosingMessage(*ferrix), L"1 of 3 files was not moved:\n\na\\b.txt: it would overwrite another file being gathered");
        EXPECT_EQ(ferrix->WaitForExit(), 0u);
        EXPECT_EQ(FolderTree::Read(source).files, kept) << "run " << run + 1;
    }
}

// ferrix.exe with Windows' refusals patched in by the probe (WindowsRefusals), and without them: a
// folder in the middle of the tree that refuses listing, a branch deeper than 300 characters, and
// an existing destination on a share whose path and targets are longer than 260 characters, which
// the main dialog finds as it is and the run fills as a tree; the source also one that Windows
// cannot make the current directory. Everything that the run can reach is moved, byte for byte.
class RunAsOnWindowsTest : public RunTest, public testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(RunAsOnWindowsTest, EveryFileThatCanBeReachedIsMovedOntoAShare)
{
    const auto [asOnWindows, deepSource] = GetParam();
    const std::wstring source = deepSource ? this->source + L"\\" + std::wstring(250, L's') : this->source;
    const std::wstring deep = std::wstring(90, L'd') + L"\\" + std::wstring(90, L'e') + L"\\" + std::wstring(90, L'f');
    Files reachable = {
        {L"top.txt", "top"}, {L"a\\1.txt", "one"}, {L"z\\4.txt", "four"}, {deep + L"\\5.txt", Content(70000, 5)}};
    const Files refusing = {{L"m\\2.txt", "two"}, {L"m\\sub\\3.txt", "three"}};
    FolderTree::Write(source, reachable);
    FolderTree::Write(source, refusing);
    const std::wstring distant = std::wstring(120, L'D') + L"\\" + std::wstring(120, L'E');
    MakeFolders(root / distant);
    const std::wstring shared = root.Share() + L"\\" + distant;
    ASSERT_GT(source.size() + deep.size(), 300u);
    ASSERT_GT(shared.size(), size_t{MAX_PATH});

    const auto ferrix = asOnWindows ? StartRun({{ProbeHook::windowsRefusals, source + L"\\m"}}) : StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    SetText(Control(dialog, IDC_SOURCE_EDIT), source);
    SetText(Control(dialog, IDC_DESTINATION_EDIT), shared);
    SetText(Control(dialog, IDC_SEPARATOR_EDIT), L"\\");
    PostClick(Control(dialog, IDC_DELETE_CHECK));
    PostClick(Control(dialog, IDOK));
    HWND box = nullptr;
    if (asOnWindows) // the folder that refuses listing is named when the run is over
        EXPECT_EQ(AnswerClosingMessage(*ferrix), L"Every file listed was moved.\n\nThis folder could not be read:\nm\\");
    else
        WaitOrThrow([&] { return !ferrix->Running() || (box = ferrix->FindWindow(MessageBoxWindow::OwnedBy(dialog))); },
                    "the end of the run", 60000);
    if (box != nullptr) {
        ADD_FAILURE() << "the main dialog did not find the destination: " << Utf8(MessageBoxWindow(box).Text());
        MessageBoxWindow(box).Answer(IDYES);
    }
    EXPECT_EQ(ferrix->WaitForExit(), 0u);

    if (!asOnWindows)
        reachable.insert(refusing.begin(), refusing.end());
    EXPECT_EQ(FolderTree::Read(root / distant).files, reachable);
    EXPECT_EQ(FolderTree::Read(source).files, asOnWindows ? refusing : Files{});
}

INSTANTIATE_TEST_SUITE_P(, RunAsOnWindowsTest, testing::Combine(testing::Bool(), testing::Bool()), [](const auto& info) {
    return std::string(std::get<0>(info.param) ? "AsOnWindows" : "OnThisPlatform") +
           (std::get<1>(info.param) ? "FromADeepSource" : "");
});

// The faults after which nothing is copied or deleted: the files in the folder the program was
// started in are left alone, and so is the source, in a move too.
class RunThatTouchesNothingTest : public RunTest {
protected:
    RunThatTouchesNothingTest()
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

TEST_F(RunThatTouchesNothingTest, ASourceThatCannotBeEnteredIsStillTheOnlyFolderListed)
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
    EXPECT_EQ(AnswerClosingMessage(*ferrix), L"No file in " + source + L" matches *.\n\nThis folder could not be read:\n" + source);
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
    held.reset(); // the source can be read again
    ExpectNothingTouched();
}

TEST_F(RunThatTouchesNothingTest, AMainDialogThatCannotBeCreatedStartsNoRun)
{
    const auto ferrix = StartRun({{ProbeHook::failFirstDialog, L"1"}});
    EXPECT_FALSE(ProgressSeenBeforeExit(*ferrix));
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
    ExpectNothingTouched();
}

// What a run tells once its progress dialog has closed: the files it passed over, each with its
// reason, the first ten by name; or that the mask matched nothing. (A run that gathers every file
// tells nothing: every other test here waits for the exit at once.)
struct Told {
    const char* name;
    std::vector<const wchar_t*> sources;      // written below the source folder, literally
    std::vector<const wchar_t*> readOnlyTargets; // already in the destination, read-only
    const wchar_t* mask;
    bool move;
    std::wstring text; // "%s" stands for the source folder
};

void PrintTo(const Told& told, std::ostream* out)
{
    *out << told.name;
}

class ClosingMessageTest : public RunTest, public testing::WithParamInterface<Told> {};

TEST_P(ClosingMessageTest, NamesWhatTheRunPassedOver)
{
    const Told& told = GetParam();
    for (const wchar_t* file : told.sources)
        WriteFileBytes(L"\\\\?\\" + source + L"\\" + file, Utf8(file));
    MakeFolders(destination);
    for (const wchar_t* file : told.readOnlyTargets) {
        WriteFileBytes(destination + L"\\" + file, "old");
        SetFileAttributesW((destination + L"\\" + file).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    const auto ferrix = StartRun();
    const HWND dialog = WaitForMainDialog(*ferrix);
    SetText(Control(dialog, IDC_MASK_EDIT), told.mask);
    if (told.move)
        PostClick(Control(dialog, IDC_DELETE_CHECK));
    PostClick(Control(dialog, IDOK));
    std::wstring text = told.text;
    if (const size_t at = text.find(L"%s"); at != std::wstring::npos)
        text.replace(at, 2, source);
    EXPECT_EQ(AnswerClosingMessage(*ferrix), text);
    EXPECT_EQ(ferrix->WaitForExit(), 0u);
    for (const wchar_t* file : told.readOnlyTargets)
        EXPECT_EQ(ReadFileBytes(destination + L"\\" + file), "old");
}

INSTANTIATE_TEST_SUITE_P(
    , ClosingMessageTest,
    testing::Values(
        Told{"AReservedNameAndAReadOnlyTarget", {L"con.txt", L"ok.txt", L"ro.txt"}, {L"ro.txt"}, L"*", false,
             L"2 of 3 files were not copied:\n\ncon.txt: Windows reserves this name\nro.txt: a read-only file of that "
             L"name is in the destination"},
        Told{"TenNamedAndTheRestCounted",
             {L"aux.01", L"aux.02", L"aux.03", L"aux.04", L"aux.05", L"aux.06", L"aux.07", L"aux.08", L"aux.09",
              L"aux.10", L"aux.11", L"aux.12", L"fine.txt"},
             {}, L"*", true,
             L"12 of 13 files were not moved:\n\naux.01: Windows reserves this name\naux.02: Windows reserves this name\n"
             L"aux.03: Windows reserves this name\naux.04: Windows reserves this name\naux.05: Windows reserves this name\n"
             L"aux.06: Windows reserves this name\naux.07: Windows reserves this name\naux.08: Windows reserves this name\n"
             L"aux.09: Windows reserves this name\naux.10: Windows reserves this name\nand 2 more."},
        Told{"AMaskThatMatchesNothing", {L"beach.jpg"}, {}, L"*.jgp", true, L"No file in %s matches *.jgp."}),
    [](const testing::TestParamInfo<Told>& info) { return info.param.name; });

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

} // namespace
