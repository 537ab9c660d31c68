// Runs with real faults injected: a source that another process holds open without sharing, a
// target that another program holds open, a target that is read-only, a target whose folder is a
// file, a source removed or replaced after the listing, just before its copy, or changed between
// its copy and its deletion, and a volume that fills up. Each run must go on with the other files
// and lose no file's content.
#include "tests/driver/ImportPatch.h"
#include "tests/driver/Wait.h"
#include "tests/driver/WindowsRefusals.h"
#include "tests/reliability/TreeState.h"
#include "tests/ui/ProgressRunTest.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

namespace {

// Another process (hold_file.exe, built beside this test) that holds a file open without sharing
// from construction until destruction, which waits for it to let go and end.
class HeldByAnotherProcess {
public:
    explicit HeldByAnotherProcess(const std::wstring& file)
    {
        static int sequence = 0;
        const std::wstring names = L"ferrix-hold-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(++sequence);
        ready = CreateEventW(nullptr, TRUE, FALSE, (names + L"-ready").c_str());
        release = CreateEventW(nullptr, TRUE, FALSE, (names + L"-release").c_str());
        std::wstring helper(MAX_PATH, L'\0');
        helper.resize(GetModuleFileNameW(nullptr, helper.data(), MAX_PATH));
        helper = helper.substr(0, helper.rfind(L'\\') + 1) + L"hold_file.exe";
        std::wstring command = L"\"" + helper + L"\" \"" + file + L"\" " + names + L"-ready " + names + L"-release";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
            throw std::runtime_error("hold_file.exe could not be started: error " + std::to_string(GetLastError()));
        CloseHandle(started.hThread);
        process = started.hProcess;
        const HANDLE either[2] = {ready, process};
        if (WaitForMultipleObjects(2, either, FALSE, defaultWait) != WAIT_OBJECT_0)
            throw std::runtime_error("hold_file.exe did not open " + Utf8(file) + " in time");
    }
    ~HeldByAnotherProcess()
    {
        SetEvent(release);
        DWORD exitCode = 1;
        EXPECT_EQ(WaitForSingleObject(process, defaultWait), WAIT_OBJECT_0) << "hold_file.exe did not end in time";
        GetExitCodeProcess(process, &exitCode);
        EXPECT_EQ(exitCode, 0u) << "hold_file.exe did not hold the file until released";
        CloseHandle(process);
        CloseHandle(ready);
        CloseHandle(release);
    }
    HeldByAnotherProcess(const HeldByAnotherProcess&) = delete;
    HeldByAnotherProcess& operator=(const HeldByAnotherProcess&) = delete;

private:
    HANDLE ready = nullptr;
    HANDLE release = nullptr;
    HANDLE process = nullptr;
};

// During RunWithCopies, this module's CopyFileW calls, the worker's among them, go to `replacement`
// (ImportPatch); the real function is realCopyFileW.
decltype(&CopyFileW) realCopyFileW = nullptr;
std::function<BOOL(LPCWSTR from, LPCWSTR to, BOOL failIfExists)> replacement;

BOOL WINAPI ReplacedCopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists)
{
    return replacement(from, to, failIfExists);
}

class FaultTest : public ProgressRunTest {
protected:
    void RunWithCopies(ObservedProgressDialog& dialog, std::function<BOOL(LPCWSTR, LPCWSTR, BOOL)> copy)
    {
        replacement = std::move(copy);
        void* ours = reinterpret_cast<void*>(&ReplacedCopyFileW);
        ASSERT_TRUE(PatchImport(GetModuleHandleW(nullptr), "kernel32.dll", "CopyFileW", ours,
                                reinterpret_cast<void**>(&realCopyFileW)));
        Run(dialog);
        PatchImport(GetModuleHandleW(nullptr), "kernel32.dll", "CopyFileW", reinterpret_cast<void*>(realCopyFileW),
                    &ours);
    }

    bool Moved(const std::wstring& entry, const std::wstring& target, const std::string& content) const
    {
        return !FileExists(source + L"\\" + entry) && FileExists(destination + L"\\" + target) &&
               ReadFileBytes(destination + L"\\" + target) == content;
    }
};

TEST_F(FaultTest, ASourceHeldOpenByAnotherProcessIsPassedOverAndKept)
{
    WriteSource(L"a.txt", "first");
    WriteSource(L"held.txt", "held by another process");
    WriteSource(L"z.txt", "last");
    settings.deleteSource = true;
    {
        const HeldByAnotherProcess holder(source + L"\\held.txt");
        Run();
        EXPECT_FALSE(FileExists(destination + L"\\held.txt")) << "the copy of a file held without sharing must fail";
    }
    EXPECT_EQ(ReadFileBytes(source + L"\\held.txt"), "held by another process");
    EXPECT_TRUE(Moved(L"a.txt", L"a.txt", "first"));
    EXPECT_TRUE(Moved(L"z.txt", L"z.txt", "last"));
}

// An existing target that another program holds open, sharing reading and deletion (as a viewer
// or a virus scanner does): Windows refuses to rename the copy over it (WindowsRefusals), and so
// does Wine 8. The target keeps its content whole, no partial copy is left and the source stays.
TEST_F(FaultTest, ATargetHeldOpenByAnotherProgramKeepsItsContentAndTheSourceStays)
{
    settings.deleteSource = true;
    for (const bool asOnWindows : {true, false}) {
        const char* const how = asOnWindows ? "as on Windows" : "on this platform";
        WriteSource(L"a.txt", "the new a");
        WriteFileBytes(destination + L"\\a.txt", "the held a");
        const HANDLE held = CreateFileW((destination + L"\\a.txt").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        {
            std::optional<WindowsRefusals> windows;
            if (asOnWindows)
                windows.emplace();
            Run();
        }
        CloseHandle(held);
        EXPECT_EQ(ReadFileBytes(destination + L"\\a.txt"), "the held a") << how;
        EXPECT_EQ(ReadFileBytes(source + L"\\a.txt"), "the new a") << how;
        EXPECT_EQ(ReadTree(destination).files.size(), 1u) << "a partial copy is left " << how;
    }
}

// Temporary files that runs ended part way left behind, under the very names this process would
// take first, and one of them a folder: none stops the replacement, and none is touched.
TEST_F(FaultTest, LeftoversOfEndedRunsStopNoCopy)
{
    WriteSource(L"report.txt", "the new report");
    WriteFileBytes(destination + L"\\report.txt", "the old report");
    const std::wstring stem = destination + L"\\~ferrix-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int leftover = 0; leftover < 30; ++leftover)
        WriteFileBytes(stem + std::to_wstring(leftover) + L".tmp", "left over");
    MakeFolders(stem + L"30.tmp");
    settings.deleteSource = true;
    Run();
    EXPECT_EQ(ReadFileBytes(destination + L"\\report.txt"), "the new report");
    EXPECT_FALSE(FileExists(source + L"\\report.txt"));
    const TreeState left = ReadTree(destination);
    EXPECT_EQ(left.files.size(), 31u) << "the report and the leftovers, nothing more";
    for (const auto& [key, file] : left.files)
        EXPECT_TRUE(file.bytes == "left over" || file.bytes == "the new report") << Utf8(file.path);
}

// A source whose deletion another program keeps pending keeps its name until that program lets
// go: the name is not free for a later copy meanwhile (here the copy of q\a.txt, whose target lies
// in that very folder through a link in the destination), or the pending deletion would take the
// copy with it.
TEST_F(FaultTest, APendingDeletionDoesNotFreeTheSourcesName)
{
    WriteSource(L"a\\a.txt", "a content");
    WriteSource(L"q\\a.txt", "q content");
    MakeFolders(destination);
    ASSERT_TRUE(MakeFolderLink(destination + L"\\q", L"..\\src\\a")) << "could not create a folder link";
    settings.separator = L"\\";
    settings.deleteSource = true;
    const HANDLE held = CreateFileW((source + L"\\a\\a.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ObservedProgressDialog dialog(settings);
    Run(dialog);
    CloseHandle(held);
    ASSERT_EQ(dialog.Report().passedOver.size(), 1u);
    EXPECT_EQ(dialog.Report().passedOver[0].entry, L"q\\a.txt");
    EXPECT_EQ(dialog.Report().passedOver[0].reason, RunReport::Reason::WouldOverwriteSource)
        << "the copy is refused for the name that is still taken, not left to fail";
    EXPECT_EQ(ReadFileBytes(destination + L"\\a\\a.txt"), "a content");
    EXPECT_EQ(ReadFileBytes(source + L"\\q\\a.txt"), "q content");
    EXPECT_FALSE(FileExists(source + L"\\a\\a.txt")) << "its deletion completes once the other handle is closed";
}

// Windows refuses to overwrite a read-only target; Wine running as root overwrites it. Either
// way the moved file's content must survive: at the target, or else still at the source.
TEST_F(FaultTest, AReadOnlyTargetLosesNoContent)
{
    WriteSource(L"a.txt", "new content");
    WriteSource(L"b.txt", "other");
    WriteFileBytes(destination + L"\\a.txt", "old content");
    ASSERT_TRUE(SetFileAttributesW((destination + L"\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    settings.deleteSource = true;
    Run();

    const std::string target = ReadFileBytes(destination + L"\\a.txt");
    if (FileExists(source + L"\\a.txt")) {
        EXPECT_EQ(ReadFileBytes(source + L"\\a.txt"), "new content");
        EXPECT_EQ(target, "old content") << "a source is kept only when its copy failed";
    } else {
        EXPECT_EQ(target, "new content") << "the source is gone, so its content must be at the target";
    }
    EXPECT_TRUE(Moved(L"b.txt", L"b.txt", "other"));
}

// Existing targets that are hard links to listed sources (as backup and deduplication tools make
// them): an overwrite replaces the target's name and writes through no link, in a copy run too.
TEST_F(FaultTest, ATargetHardLinkedToAListedSourceRewritesNoSource)
{
    WriteSource(L"a\\b.txt", "B content");
    WriteSource(L"y\\late.txt", "late content");
    WriteSource(L"z.txt", "z content");
    MakeFolders(destination);
    ASSERT_TRUE(CreateHardLinkW((destination + L"\\a.b.txt").c_str(), (source + L"\\y\\late.txt").c_str(), nullptr));
    ASSERT_TRUE(CreateHardLinkW((destination + L"\\z.txt").c_str(), (source + L"\\a\\b.txt").c_str(), nullptr));
    Run();
    EXPECT_EQ(ReadFileBytes(source + L"\\y\\late.txt"), "late content");
    EXPECT_EQ(ReadFileBytes(source + L"\\a\\b.txt"), "B content");
    EXPECT_EQ(ReadFileBytes(destination + L"\\a.b.txt"), "B content");
    EXPECT_EQ(ReadFileBytes(destination + L"\\y.late.txt"), "late content");
    EXPECT_EQ(ReadFileBytes(destination + L"\\z.txt"), "z content");
}

TEST_F(FaultTest, ATargetWhoseFolderIsAFileIsPassedOverAndKept)
{
    WriteSource(L"a.txt", "top");
    WriteSource(L"sub\\b.txt", "below sub");
    WriteSource(L"tree\\c.txt", "below tree");
    WriteFileBytes(destination + L"\\sub", "a file where the folder sub should go");
    settings.separator = L"\\";
    settings.deleteSource = true;
    Run();

    EXPECT_EQ(ReadFileBytes(source + L"\\sub\\b.txt"), "below sub");
    EXPECT_EQ(ReadFileBytes(destination + L"\\sub"), "a file where the folder sub should go");
    EXPECT_TRUE(Moved(L"a.txt", L"a.txt", "top"));
    EXPECT_TRUE(Moved(L"tree\\c.txt", L"tree\\c.txt", "below tree"));
}

TEST_F(FaultTest, ADestinationThatIsAFileFailsEveryCopyAndKeepsEverySource)
{
    WriteSource(L"a.txt", "top");
    WriteSource(L"sub\\b.txt", "below");
    WriteFileBytes(root / L"dst", "a file named like the destination");
    settings.deleteSource = true;
    const TreeState before = ReadTree(root.Path());
    const ObservedProgressDialog::Trace trace = Run();
    const TreeState after = ReadTree(root.Path());

    EXPECT_EQ(trace.back(), L"position 2") << "the run goes through every entry";
    ASSERT_EQ(after.files.size(), before.files.size());
    for (const auto& [key, file] : before.files)
        EXPECT_EQ(after.files.at(key).bytes, file.bytes) << Utf8(file.path);
}

// A full volume: the copies of a.txt (whose target is there) and c.txt (whose target is new) write
// part of the file, then fail as a full volume fails them.
TEST_F(FaultTest, ACopyThatFillsTheVolumeLeavesItsTargetAsItWasAndItsRoomFree)
{
    WriteSource(L"a.txt", "a new a");
    WriteSource(L"b.txt", "b fits");
    WriteSource(L"c.txt", "a new c");
    WriteFileBytes(destination + L"\\a.txt", "the earlier a");
    settings.deleteSource = true;
    ObservedProgressDialog dialog(settings);
    RunWithCopies(dialog, [](LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
        if (std::wstring(from).ends_with(L"b.txt"))
            return realCopyFileW(from, to, failIfExists);
        const DWORD creation = failIfExists ? CREATE_NEW : CREATE_ALWAYS;
        const HANDLE made = CreateFileW(to, GENERIC_WRITE, 0, nullptr, creation, 0, nullptr);
        DWORD written = 0;
        if (made != INVALID_HANDLE_VALUE && WriteFile(made, "a new", 5, &written, nullptr) && CloseHandle(made))
            SetLastError(ERROR_DISK_FULL);
        return FALSE;
    });
    EXPECT_EQ(ReadFileBytes(destination + L"\\a.txt"), "the earlier a");
    EXPECT_EQ(ReadFileBytes(source + L"\\a.txt") + ReadFileBytes(source + L"\\c.txt"), "a new aa new c");
    EXPECT_TRUE(Moved(L"b.txt", L"b.txt", "b fits"));
    EXPECT_EQ(ReadTree(destination).files.size(), 2u) << "a partial file is left in the destination";
}

// What happens to the second of three files after the listing: up to MadeAFolder just as its
// caption arrives (the worker shows the caption before it copies the file), from AppendedAfterCopy
// on once it is copied, before it would be deleted. SwappedForALink: its folder a is renamed and a
// link to a folder outside the tree, with files of the same names, takes its place.
enum class Change {
    Removed,
    Rewritten,
    SwappedForALink,
    MadeAFolder,
    AppendedAfterCopy,
    ReplacedAfterCopy,
    TargetTruncatedAfterCopy,
    OpenForWriting // by another program, sharing every access, through the whole run
};

constexpr DWORD everyone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Another program's change after the copy to `to`; returns what the source holds afterwards.
std::string ChangeAfterCopy(Change change, const std::wstring& second, LPCWSTR to)
{
    if (change == Change::ReplacedAfterCopy) {
        WriteFileBytes(second + L".new", "two as replaced");
        return MoveFileExW((second + L".new").c_str(), second.c_str(), MOVEFILE_REPLACE_EXISTING) ? "two as replaced"
                                                                                                 : "two as listed";
    }
    const bool append = change == Change::AppendedAfterCopy;
    const HANDLE file = CreateFileW(append ? second.c_str() : to, append ? FILE_APPEND_DATA : GENERIC_WRITE, everyone,
                                    nullptr, append ? OPEN_EXISTING : TRUNCATE_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "two as listed";
    DWORD written = 0;
    const bool appended = append && WriteFile(file, " and more", 9, &written, nullptr);
    CloseHandle(file);
    return appended ? "two as listed and more" : "two as listed";
}

struct ChangedSource {
    const char* name;
    Change change;
    bool deleteSource;
};

void PrintTo(const ChangedSource& row, std::ostream* out)
{
    *out << row.name;
}

class ChangedSourceTest : public FaultTest, public testing::WithParamInterface<ChangedSource> {};

TEST_P(ChangedSourceTest, TheRunGoesOnAndNoContentIsLost)
{
    // One file per folder, so that the order of the three is fixed: the folders come in pre-order.
    WriteSource(L"1.txt", "one");
    WriteSource(L"a\\2.txt", "two as listed");
    WriteSource(L"a\\b\\3.txt", "three");
    WriteFileBytes(destination + L"\\a.2.txt", "an earlier copy of two");
    settings.deleteSource = GetParam().deleteSource;
    const std::wstring second = source + L"\\a\\2.txt";
    WriteFileBytes(root / L"elsewhere\\2.txt", "outside two");
    WriteFileBytes(root / L"elsewhere\\b\\3.txt", "outside three");

    const Change change = GetParam().change;
    const HANDLE writer = change == Change::OpenForWriting ? CreateFileW(second.c_str(), FILE_APPEND_DATA, everyone,
                                                                         nullptr, OPEN_EXISTING, 0, nullptr)
                                                           : INVALID_HANDLE_VALUE;
    std::string secondAfterChange = "two as listed"; // what the other program left the source holding
    ObservedProgressDialog dialog(settings);
    dialog.onRecord = [&](ObservedProgressDialog&, const std::wstring& line) {
        if (line != L"caption Ferrix (2/3)" || change > Change::MadeAFolder)
            return;
        if (change == Change::SwappedForALink) {
            ASSERT_TRUE(MoveFileW((source + L"\\a").c_str(), (source + L"\\a-old").c_str()));
            ASSERT_TRUE(MakeFolderLink(source + L"\\a", L"..\\elsewhere"));
            return;
        }
        SetFileAttributesW(second.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(DeleteFileW(second.c_str()));
        if (GetParam().change == Change::Rewritten)
            WriteFileBytes(second, "two as rewritten");
        else if (GetParam().change == Change::MadeAFolder)
            WriteFileBytes(second + L"\\inside.txt", "inside the folder two");
    };
    RunWithCopies(dialog, [&](LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
        const BOOL copied = realCopyFileW(from, to, failIfExists);
        if (copied && std::wstring(from).ends_with(L"2.txt") && change > Change::MadeAFolder)
            secondAfterChange = ChangeAfterCopy(change, second, to);
        return copied;
    });
    DWORD written = 0;
    if (writer != INVALID_HANDLE_VALUE && WriteFile(writer, " and more", 9, &written, nullptr) && CloseHandle(writer))
        secondAfterChange += " and more";

    ASSERT_FALSE(dialog.trace.empty());
    EXPECT_EQ(dialog.trace.back(), L"position 3") << "the run goes on to its end";
    const bool move = GetParam().deleteSource;
    EXPECT_EQ(FileExists(source + L"\\1.txt"), !move);
    EXPECT_EQ(ReadFileBytes(destination + L"\\1.txt"), "one");
    if (GetParam().change != Change::SwappedForALink) {
        EXPECT_EQ(FileExists(source + L"\\a\\b\\3.txt"), !move);
        EXPECT_EQ(ReadFileBytes(destination + L"\\a.b.3.txt"), "three");
    }

    switch (GetParam().change) {
    case Change::Removed:
        EXPECT_EQ(ReadFileBytes(destination + L"\\a.2.txt"), "an earlier copy of two") << "nothing was copied";
        break;
    case Change::Rewritten:
        EXPECT_EQ(ReadFileBytes(destination + L"\\a.2.txt"), "two as rewritten") << "the file as it was when copied";
        EXPECT_EQ(FileExists(second), !move);
        break;
    case Change::MadeAFolder:
        EXPECT_EQ(ReadFileBytes(destination + L"\\a.2.txt"), "an earlier copy of two") << "a folder is not copied";
        EXPECT_EQ(ReadFileBytes(second + L"\\inside.txt"), "inside the folder two");
        break;
    case Change::SwappedForALink: // a move takes nothing through the link; a copy reads what it leads to
        EXPECT_EQ(ReadFileBytes(root / L"elsewhere\\2.txt"), "outside two");
        EXPECT_EQ(ReadFileBytes(root / L"elsewhere\\b\\3.txt"), "outside three");
        EXPECT_EQ(ReadFileBytes(source + L"\\a-old\\2.txt"), "two as listed");
        EXPECT_EQ(ReadFileBytes(source + L"\\a-old\\b\\3.txt"), "three");
        EXPECT_EQ(ReadFileBytes(destination + L"\\a.2.txt"), move ? "an earlier copy of two" : "outside two");
        EXPECT_EQ(FileExists(destination + L"\\a.b.3.txt"), !move);
        break;
    default: // the content that the other program left is at the source, or else whole at the target
        EXPECT_EQ(ReadFileBytes(FileExists(second) ? second : destination + L"\\a.2.txt"), secondAfterChange);
    }
}

INSTANTIATE_TEST_SUITE_P(, ChangedSourceTest,
                         testing::Values(ChangedSource{"RemovedCopy", Change::Removed, false},
                                         ChangedSource{"RemovedMove", Change::Removed, true},
                                         ChangedSource{"RewrittenCopy", Change::Rewritten, false},
                                         ChangedSource{"RewrittenMove", Change::Rewritten, true},
                                         ChangedSource{"MadeAFolderCopy", Change::MadeAFolder, false},
                                         ChangedSource{"MadeAFolderMove", Change::MadeAFolder, true},
                                         ChangedSource{"SwappedForALinkCopy", Change::SwappedForALink, false},
                                         ChangedSource{"SwappedForALinkMove", Change::SwappedForALink, true},
                                         ChangedSource{"AppendedAfterCopyMove", Change::AppendedAfterCopy, true},
                                         ChangedSource{"ReplacedAfterCopyMove", Change::ReplacedAfterCopy, true},
                                         ChangedSource{"TargetTruncatedMove", Change::TargetTruncatedAfterCopy, true},
                                         ChangedSource{"OpenForWritingMove", Change::OpenForWriting, true}),
                         [](const testing::TestParamInfo<ChangedSource>& info) { return info.param.name; });

} // namespace
