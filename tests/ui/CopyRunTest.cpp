// What a run does to the files: moves, failed copies, the separators that build folders, and the
// cases where a plain copy-then-delete would lose a user's file.
#include "tests/ui/ProgressRunTest.h"

#include "engine/CreateDirectoryPath.h"
#include "engine/FileLister.h"
#include "tests/driver/WindowsRefusals.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

class CopyRunTest : public ProgressRunTest {};

TEST_F(CopyRunTest, AMoveDeletesReadOnlySourcesAndKeepsThoseThatFailedToCopy)
{
    WriteSource(L"readonly.txt", "read-only");
    ASSERT_TRUE(SetFileAttributesW((source + L"\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    WriteSource(L"blocked.txt", "target is a folder");
    MakeFolders(destination + L"\\blocked.txt");
    WriteSource(L"held.txt", "held open");
    WriteSource(L"plain.txt", "plain");
    settings.deleteSource = true;

    // Open without sharing for the whole run, so that its copy cannot read it.
    const HANDLE held = CreateFileW((source + L"\\held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Run();
    CloseHandle(held);

    EXPECT_FALSE(FileExists(source + L"\\readonly.txt")) << "deleted at the second attempt";
    EXPECT_EQ(ReadFileBytes(destination + L"\\readonly.txt"), "read-only");
    EXPECT_EQ(ReadFileBytes(source + L"\\blocked.txt"), "target is a folder");
    EXPECT_TRUE(FolderExists(destination + L"\\blocked.txt"));
    EXPECT_EQ(ReadFileBytes(source + L"\\held.txt"), "held open");
    EXPECT_FALSE(FileExists(destination + L"\\held.txt"));
    EXPECT_FALSE(FileExists(source + L"\\plain.txt"));
    EXPECT_EQ(ReadFileBytes(destination + L"\\plain.txt"), "plain");
}

struct SeparatorCase {
    const char* name;
    const wchar_t* separator;
    const wchar_t* targets[3]; // of a.jpg, 2019\b.jpg and 2019\trip\c.jpg
};

void PrintTo(const SeparatorCase& row, std::ostream* out)
{
    *out << row.name;
}

class SeparatorTest : public CopyRunTest, public testing::WithParamInterface<SeparatorCase> {};

// The destination is missing with a parent, so the run has to create both first.
TEST_P(SeparatorTest, TargetsAreBuiltWithTheirFolders)
{
    const wchar_t* entries[3] = {L"a.jpg", L"2019\\b.jpg", L"2019\\trip\\c.jpg"};
    for (const wchar_t* entry : entries)
        WriteSource(entry, "bytes of " + std::to_string(std::wstring(entry).size()));
    settings.destination = root / L"missing\\dst";
    settings.separator = GetParam().separator;
    Run();
    for (int index = 0; index < 3; ++index) {
        const std::wstring target = settings.destination + L"\\" + GetParam().targets[index];
        ASSERT_TRUE(FileExists(target)) << std::string(target.begin(), target.end());
        EXPECT_EQ(ReadFileBytes(target), "bytes of " + std::to_string(std::wstring(entries[index]).size()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    , SeparatorTest,
    testing::Values(SeparatorCase{"Backslash", L"\\", {L"a.jpg", L"2019\\b.jpg", L"2019\\trip\\c.jpg"}},
                    SeparatorCase{"UnderscoreSlash", L"_/", {L"a.jpg", L"2019_\\b.jpg", L"2019_\\trip_\\c.jpg"}},
                    SeparatorCase{"Underscore", L"_", {L"a.jpg", L"2019_b.jpg", L"2019_trip_c.jpg"}}),
    [](const testing::TestParamInfo<SeparatorCase>& info) { return info.param.name; });

TEST_F(CopyRunTest, AnExistingTargetIsOverwritten)
{
    WriteSource(L"a.txt", "new");
    WriteFileBytes(destination + L"\\a.txt", "old and longer");
    Run();
    EXPECT_EQ(ReadFileBytes(destination + L"\\a.txt"), "new");
}

// The target is there under other letter case: the copy that refuses an existing target fails,
// and the overwriting copy then replaces that file, which keeps its name.
TEST_F(CopyRunTest, AnExistingTargetInOtherLetterCaseIsOverwrittenUnderItsName)
{
    WriteSource(L"sub\\Photo.JPG", "new");
    WriteFileBytes(destination + L"\\SUB.photo.jpg", "old and longer");
    Run();
    FileLister copied;
    copied.ListFiles(destination + L"\\*");
    EXPECT_EQ(copied.FileList, std::vector<std::wstring>{destination + L"\\SUB.photo.jpg"});
    EXPECT_EQ(ReadFileBytes(destination + L"\\SUB.photo.jpg"), "new");
}

// A move of many files into one folder: every target is new, and each source goes once its copy
// is there.
TEST_F(CopyRunTest, AMoveOfManyFilesIntoOneFolderCopiesAndDeletesEachOfThem)
{
    for (int index = 0; index < 50; ++index)
        WriteSource(L"sub\\" + std::to_wstring(index) + L".txt", "file " + std::to_string(index));
    settings.deleteSource = true;
    Run();
    for (int index = 0; index < 50; ++index) {
        EXPECT_EQ(ReadFileBytes(destination + L"\\sub." + std::to_wstring(index) + L".txt"),
                  "file " + std::to_string(index));
        EXPECT_FALSE(FileExists(source + L"\\sub\\" + std::to_wstring(index) + L".txt"));
    }
}

// Every file and folder below a folder, with the files' contents.
struct Snapshot {
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> folders;
};

Snapshot TakeSnapshot(const std::wstring& folder)
{
    FileLister lister;
    lister.ListFiles(folder + L"\\*");
    Snapshot snapshot;
    for (const std::wstring& file : lister.FileList)
        snapshot.files[file] = ReadFileBytes(lister.LiteralPath(file));
    snapshot.folders.insert(lister.FolderList.begin(), lister.FolderList.end());
    return snapshot;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// A tree below the test's root folder and the settings of a move (or copy) over it.
struct Layout {
    const char* name;
    std::vector<const wchar_t*> files;  // below the root; each gets content of its own
    const wchar_t* destination;         // as typed, relative to the source folder root\src
    const wchar_t* destinationFolder;   // the folder it names, below the root
    const wchar_t* mask;
    const wchar_t* separator;
    bool deleteSource;
    // After the run: a file below the root, and the file whose content it holds (null: gone).
    std::vector<std::pair<const wchar_t*, const wchar_t*>> expected;
    // Folder links made before the run: below the root, and where each leads from its folder.
    std::vector<std::pair<const wchar_t*, const wchar_t*>> links = {};
    // What every file and folder below the root reports as its identity (WindowsRefusals); none: its own.
    std::optional<WindowsRefusals::Identity> identities = std::nullopt;
};

void PrintTo(const Layout& layout, std::ostream* out)
{
    *out << layout.name;
}

class DataSafetyTest : public CopyRunTest, public testing::WithParamInterface<Layout> {};

// Whatever the layout, every listed file's content survives somewhere, and nothing outside the
// destination is written: no new or changed file and no new folder there.
TEST_P(DataSafetyTest, NoContentIsLostAndNothingOutsideTheDestinationIsWritten)
{
    const Layout& layout = GetParam();
    // Every name as written, a trailing dot or blank and a device's name too.
    const auto literal = [this](const wchar_t* file) { return L"\\\\?\\" + (root / file); };
    for (const wchar_t* file : layout.files)
        WriteFileBytes(literal(file), "content of " + Narrow(file));
    for (const auto& [link, target] : layout.links) {
        const std::wstring path = root / link;
        MakeFolders(path.substr(0, path.rfind(L'\\')));
        ASSERT_TRUE(MakeFolderLink(path, target)) << "could not create a folder link";
    }
    settings.destination = layout.destination;
    settings.mask = layout.mask;
    settings.separator = layout.separator;
    settings.deleteSource = layout.deleteSource;

    const Snapshot before = TakeSnapshot(root.Path());
    {
        std::optional<WindowsRefusals> windows;
        if (layout.identities)
            windows.emplace(WindowsRefusals::Options{.identityFolder = root.Path(), .identity = *layout.identities});
        Run();
    }
    const Snapshot after = TakeSnapshot(root.Path());

    std::multiset<std::string> contents;
    for (const auto& [path, content] : after.files)
        contents.insert(content);
    for (const auto& [path, content] : before.files)
        EXPECT_TRUE(contents.contains(content)) << "lost: " << Narrow(path);

    const std::wstring inside = root / (std::wstring(layout.destinationFolder) + L"\\");
    for (const auto& [path, content] : after.files) {
        if (path.starts_with(inside))
            continue;
        const auto was = before.files.find(path);
        EXPECT_TRUE(was != before.files.end() && was->second == content) << "written: " << Narrow(path);
    }
    for (const std::wstring& folder : after.folders)
        EXPECT_TRUE(folder.starts_with(inside) || before.folders.contains(folder)) << "made: " << Narrow(folder);

    for (const auto& [file, holds] : layout.expected) {
        if (holds == nullptr) {
            EXPECT_FALSE(FileExists(literal(file))) << Narrow(file) << " should be gone";
        } else if (!FileExists(literal(file))) {
            ADD_FAILURE() << Narrow(file) << " is missing";
        } else {
            EXPECT_EQ(ReadFileBytes(literal(file)), "content of " + Narrow(holds)) << Narrow(file);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    , DataSafetyTest,
    testing::Values(
        // Both give dst\a_b.txt: the later copy wins, so the earlier source must stay.
        Layout{"SameTarget", {L"src\\a_b.txt", L"src\\a\\b.txt"}, L"..\\dst", L"dst", L"*", L"_", true,
               {{L"dst\\a_b.txt", L"src\\a\\b.txt"}, {L"src\\a_b.txt", L"src\\a_b.txt"}, {L"src\\a\\b.txt", nullptr}}},
        Layout{"SameTargetEmptySeparator", {L"src\\ab.txt", L"src\\a\\b.txt"}, L"..\\dst", L"dst", L"*", L"", true,
               {{L"dst\\ab.txt", L"src\\a\\b.txt"}, {L"src\\ab.txt", L"src\\ab.txt"}}},
        // Into the source folder, spelled in other letter case: a_b.txt is its own target, and
        // a\b.txt would overwrite it.
        Layout{"IntoTheSourceFolded",
               {L"src\\a_b.txt", L"src\\a\\b.txt", L"src\\c\\d.txt"}, L"..\\SRC", L"src", L"*", L"_", true,
               {{L"src\\a_b.txt", L"src\\a_b.txt"}, {L"src\\a\\b.txt", L"src\\a\\b.txt"},
                {L"src\\c_d.txt", L"src\\c\\d.txt"}, {L"src\\c\\d.txt", nullptr}}},
        Layout{"IntoTheSourceFoldedCopy",
               {L"src\\a_b.txt", L"src\\a\\b.txt", L"src\\c\\d.txt"}, L".", L"src", L"*", L"_", false,
               {{L"src\\a_b.txt", L"src\\a_b.txt"}, {L"src\\a\\b.txt", L"src\\a\\b.txt"},
                {L"src\\c_d.txt", L"src\\c\\d.txt"}, {L"src\\c\\d.txt", L"src\\c\\d.txt"}}},
        // Every target is its own source, once spelled in other letter case with a trailing dot.
        Layout{"IntoTheSourceAsATree", {L"src\\a.txt", L"src\\sub\\b.txt"}, L"..\\SRC.", L"src", L"*", L"\\", true,
               {{L"src\\a.txt", L"src\\a.txt"}, {L"src\\sub\\b.txt", L"src\\sub\\b.txt"}}},
        // The destination's own files are results of earlier runs, not sources: a second run does
        // not gather them again into a\a\.
        Layout{"DestinationInsideTheSource", {L"src\\a\\old.txt", L"src\\b\\y.txt"}, L"a", L"src\\a", L"*", L"\\",
               true,
               {{L"src\\a\\old.txt", L"src\\a\\old.txt"}, {L"src\\a\\a\\old.txt", nullptr},
                {L"src\\a\\b\\y.txt", L"src\\b\\y.txt"}, {L"src\\b\\y.txt", nullptr}}},
        // "d." is not "d": the mask names the files of d. alone. e\y. would become dst\e.y., a name
        // that the platform cuts to e.y: it stays.
        Layout{"NamesEndingInADotOrABlank",
               {L"src\\d\\x", L"src\\d.\\x", L"src\\e\\y", L"src\\e\\y.", L"src\\f\\z "}, L"..\\dst", L"dst", L"*",
               L"_", true,
               {{L"dst\\d_x", L"src\\d\\x"}, {L"dst\\d._x", L"src\\d.\\x"}, {L"dst\\e_y", L"src\\e\\y"},
                {L"src\\e\\y.", L"src\\e\\y."}, {L"src\\f\\z ", L"src\\f\\z "}, {L"src\\d.\\x", nullptr}}},
        Layout{"AFolderEndingInADotInTheMask", {L"src\\d\\x", L"src\\d.\\x"}, L"..\\dst", L"dst", L"d.\\*", L"_", true,
               {{L"dst\\d._x", L"src\\d.\\x"}, {L"src\\d\\x", L"src\\d\\x"}, {L"src\\d.\\x", nullptr}}},
        // Named like devices, they are files all the same; only a target that is itself such a name
        // is refused.
        Layout{"DeviceNames",
               {L"src\\sub\\aux.c", L"src\\sub\\con.txt", L"src\\sub\\nul", L"src\\sub\\COM1", L"src\\sub\\lpt1.log",
                L"src\\sub\\prn", L"src\\nul.txt"},
               L"..\\dst", L"dst", L"*", L".", true,
               {{L"dst\\sub.aux.c", L"src\\sub\\aux.c"}, {L"dst\\sub.con.txt", L"src\\sub\\con.txt"},
                {L"dst\\sub.nul", L"src\\sub\\nul"}, {L"dst\\sub.COM1", L"src\\sub\\COM1"},
                {L"dst\\sub.lpt1.log", L"src\\sub\\lpt1.log"}, {L"dst\\sub.prn", L"src\\sub\\prn"},
                {L"src\\nul.txt", L"src\\nul.txt"}, {L"src\\sub\\aux.c", nullptr}}},
        // The folders " / " makes lose their trailing blank, and the copies go into them.
        Layout{"BlanksAroundTheSlash", {L"src\\a.jpg", L"src\\2019\\b.jpg", L"src\\2019\\trip\\c.jpg"}, L"..\\dst",
               L"dst", L"*", L" / ", true,
               {{L"dst\\a.jpg", L"src\\a.jpg"}, {L"dst\\2019\\ b.jpg", L"src\\2019\\b.jpg"},
                {L"dst\\2019\\ trip\\ c.jpg", L"src\\2019\\trip\\c.jpg"}, {L"src\\2019\\trip\\c.jpg", nullptr}}},
        // "..\*" with "\" makes targets such as dst\inner\..\outside.txt.
        Layout{"MaskLeavesTheDestination", {L"outside.txt", L"src\\a.txt", L"dst\\keep.txt"}, L"..\\dst\\inner", L"dst\\inner",
               L"..\\*", L"\\", true,
               {{L"outside.txt", L"outside.txt"}, {L"src\\a.txt", L"src\\a.txt"}, {L"dst\\outside.txt", nullptr},
                {L"dst\\keep.txt", L"dst\\keep.txt"}}},
        Layout{"SeparatorLeavesTheDestination", {L"src\\a.txt", L"src\\sub\\b.txt"}, L"..\\dst", L"dst", L"*",
               L"\\..\\..\\", true,
               {{L"dst\\a.txt", L"src\\a.txt"}, {L"src\\sub\\b.txt", L"src\\sub\\b.txt"}, {L"b.txt", nullptr}}},
        // The target dst\sub\..\..\x\..\dst\b.txt resolves inside, but its folder walk passes root\x.
        Layout{"SeparatorLeavesAndComesBack", {L"src\\a.txt", L"src\\sub\\b.txt"}, L"..\\dst", L"dst", L"*",
               L"\\..\\..\\x\\..\\dst\\", true,
               {{L"dst\\a.txt", L"src\\a.txt"}, {L"src\\sub\\b.txt", L"src\\sub\\b.txt"}}},
        // A link in the destination leads into the source: q\a.txt would land on z\a.txt, still to
        // be copied, and stays; z\a.txt goes, in a move also out of the link.
        Layout{"ALinkInTheDestinationLeadsIntoTheSource", {L"src\\q\\a.txt", L"src\\z\\a.txt"}, L"..\\dst", L"dst",
               L"*", L"\\", true,
               {{L"src\\q\\a.txt", L"src\\q\\a.txt"}, {L"dst\\z\\a.txt", L"src\\z\\a.txt"}, {L"src\\z\\a.txt", nullptr}},
               {{L"dst\\q", L"..\\src\\z"}}},
        Layout{"ALinkInTheDestinationLeadsIntoTheSourceCopy", {L"src\\q\\a.txt", L"src\\z\\a.txt"}, L"..\\dst",
               L"dst", L"*", L"\\", false,
               {{L"src\\z\\a.txt", L"src\\z\\a.txt"}, {L"dst\\z\\a.txt", L"src\\z\\a.txt"}},
               {{L"dst\\q", L"..\\src\\z"}}},
        // A link in the source leads into the destination: sub\x.txt would land on the file that
        // the link lists as zlink\x.txt and stays; zlink\x.txt is copied but kept, since it lies
        // outside the tree that the user named.
        Layout{"ALinkInTheSourceLeadsIntoTheDestination", {L"src\\sub\\x.txt", L"dst\\sub\\x.txt"}, L"..\\dst",
               L"dst", L"*", L"\\", true,
               {{L"src\\sub\\x.txt", L"src\\sub\\x.txt"}, {L"dst\\sub\\x.txt", L"dst\\sub\\x.txt"},
                {L"dst\\zlink\\x.txt", L"dst\\sub\\x.txt"}},
               {{L"src\\zlink", L"..\\dst\\sub"}}},
        // The same for every file of that folder and of the next one, after a file whose folder stays.
        Layout{"SeparatorLeavesAndComesBackForEveryFile",
               {L"src\\a.txt", L"src\\sub\\b.txt", L"src\\sub\\c.txt", L"src\\tub\\d.txt"}, L"..\\dst", L"dst", L"*",
               L"\\..\\..\\x\\..\\dst\\", true,
               {{L"dst\\a.txt", L"src\\a.txt"}, {L"src\\sub\\b.txt", L"src\\sub\\b.txt"},
                {L"src\\sub\\c.txt", L"src\\sub\\c.txt"}, {L"src\\tub\\d.txt", L"src\\tub\\d.txt"}}}),
    [](const testing::TestParamInfo<Layout>& info) { return info.param.name; });

// The moves of src\a.txt, src\sub\a.txt and src\other\sub.a.txt, each of which is gone afterwards
// unless the row says what it holds, with the files that each layout adds; each again as a copy,
// which keeps every file that was there, and all with every folder below the root of one identity
// (as two cloned volumes give), of id 0 and of id all ones (as a file system without ids gives).
// Were folders taken for one by their identities, sub\a.txt would be passed over (its target's
// name is other\sub.a.txt's), the destination's old.txt gathered again, or no file at all.
std::vector<Layout> WithIdentities(const std::vector<Layout>& moves)
{
    const std::vector<const wchar_t*> tree = {L"src\\a.txt", L"src\\sub\\a.txt", L"src\\other\\sub.a.txt"};
    std::vector<Layout> rows;
    for (const auto identities :
         {WindowsRefusals::Identity::Same, WindowsRefusals::Identity::Zero, WindowsRefusals::Identity::AllOnes}) {
        for (Layout row : moves) {
            for (const wchar_t* file : tree) {
                const auto named = [file](const auto& expected) { return expected.first == file; };
                if (std::none_of(row.expected.begin(), row.expected.end(), named))
                    row.expected.push_back({file, nullptr});
            }
            row.files.insert(row.files.begin(), tree.begin(), tree.end());
            row.identities = identities;
            rows.push_back(row);
            row.deleteSource = false;
            for (auto& [file, holds] : row.expected) {
                if (holds == nullptr && std::find(row.files.begin(), row.files.end(), file) != row.files.end())
                    holds = file;
            }
            rows.push_back(row);
        }
    }
    return rows;
}

std::string IdentityRowName(const testing::TestParamInfo<Layout>& info)
{
    const char* modes[] = {"Same", "Zero", "AllOnes"};
    return std::string(info.param.name) + (info.param.deleteSource ? "Move" : "Copy") +
           modes[static_cast<int>(*info.param.identities)];
}

INSTANTIATE_TEST_SUITE_P(
    Identities, DataSafetyTest,
    testing::ValuesIn(WithIdentities({
        Layout{"BesideFlat", {L"dst\\old.txt", L"dst\\sub\\old.txt"}, L"..\\dst", L"dst", L"*", L".", true,
               {{L"dst\\a.txt", L"src\\a.txt"}, {L"dst\\sub.a.txt", L"src\\sub\\a.txt"},
                {L"dst\\other.sub.a.txt", L"src\\other\\sub.a.txt"}, {L"dst\\old.txt", L"dst\\old.txt"}}},
        Layout{"BesideTree", {L"dst\\old.txt", L"dst\\sub\\old.txt"}, L"..\\dst", L"dst", L"*", L"\\", true,
               {{L"dst\\a.txt", L"src\\a.txt"}, {L"dst\\sub\\a.txt", L"src\\sub\\a.txt"},
                {L"dst\\other\\sub.a.txt", L"src\\other\\sub.a.txt"}, {L"dst\\sub\\old.txt", L"dst\\sub\\old.txt"}}},
        Layout{"BelowFlat", {L"src\\out\\old.txt", L"src\\out\\sub\\old.txt"}, L"out", L"src\\out", L"*", L".", true,
               {{L"src\\out\\a.txt", L"src\\a.txt"}, {L"src\\out\\sub.a.txt", L"src\\sub\\a.txt"},
                {L"src\\out\\other.sub.a.txt", L"src\\other\\sub.a.txt"}, {L"src\\out\\old.txt", L"src\\out\\old.txt"},
                {L"src\\out\\out.old.txt", nullptr}, {L"src\\out\\out.sub.old.txt", nullptr}}},
        Layout{"BelowTree", {L"src\\out\\old.txt", L"src\\out\\sub\\old.txt"}, L"out", L"src\\out", L"*", L"\\", true,
               {{L"src\\out\\a.txt", L"src\\a.txt"}, {L"src\\out\\sub\\a.txt", L"src\\sub\\a.txt"},
                {L"src\\out\\other\\sub.a.txt", L"src\\other\\sub.a.txt"}, {L"src\\out\\old.txt", L"src\\out\\old.txt"},
                {L"src\\out\\out\\old.txt", nullptr}}},
        Layout{"IntoTheSourceFlat", {}, L".", L"src", L"*", L".", true,
               {{L"src\\a.txt", L"src\\a.txt"}, {L"src\\sub.a.txt", L"src\\sub\\a.txt"},
                {L"src\\other.sub.a.txt", L"src\\other\\sub.a.txt"}}},
        Layout{"IntoTheSourceTree", {}, L".", L"src", L"*", L"\\", true,
               {{L"src\\a.txt", L"src\\a.txt"}, {L"src\\sub\\a.txt", L"src\\sub\\a.txt"},
                {L"src\\other\\sub.a.txt", L"src\\other\\sub.a.txt"}}},
    })),
    IdentityRowName);

// An absolute mask gives entries that begin with a drive, whose targets hold a colon below the
// destination (dst\C:.x.a.txt): Windows would write the stream .x.a.txt of a file C, and Wine
// a file of that name. Neither is made, with the flat or the subfolder separator, and a move keeps
// every source.
TEST_F(CopyRunTest, ATargetWithAColonBelowTheDestinationIsNotWritten)
{
    WriteSource(L"a.txt", "a");
    WriteSource(L"sub\\b.txt", "b");
    settings.mask = source + L"\\*";
    settings.deleteSource = true;
    for (const wchar_t* separator : {L".", L"\\"}) {
        settings.separator = separator;
        Run();
        const Snapshot written = TakeSnapshot(destination);
        EXPECT_TRUE(written.files.empty()) << Narrow(separator);
        EXPECT_EQ(written.folders, std::set<std::wstring>{destination + L"\\"}) << Narrow(separator);
        EXPECT_EQ(ReadFileBytes(source + L"\\a.txt"), "a");
        EXPECT_EQ(ReadFileBytes(source + L"\\sub\\b.txt"), "b");
    }
}

// The source folder under another spelling is the same folder, in a copy as in a move: into it,
// a\b.txt would overwrite the listed a_b.txt.
TEST_F(CopyRunTest, TheSourceUnderAnotherSpellingOverwritesNoListedSource)
{
    settings.source = root / L"Photo Album 2019";
    wchar_t shortName[MAX_PATH];
    MakeFolders(settings.source);
    ASSERT_GT(GetShortPathNameW(settings.source.c_str(), shortName, MAX_PATH), 0u);
    ASSERT_TRUE(MakeFolderLink(root / L"link", L"Photo Album 2019")) << "could not create a folder link";
    for (const std::wstring& spelling : {L"\\\\?\\" + settings.source, L"\\\\.\\" + settings.source,
                                         std::wstring(shortName), root / L"link", root.Share() + L"\\PHOTO ALBUM 2019"}) {
        for (const bool move : {false, true}) {
            WriteFileBytes(settings.source + L"\\a_b.txt", "top");
            WriteFileBytes(settings.source + L"\\a\\b.txt", "nested");
            settings.destination = spelling;
            settings.separator = L"_";
            settings.deleteSource = move;
            Run();
            EXPECT_EQ(ReadFileBytes(settings.source + L"\\a_b.txt"), "top") << Narrow(spelling);
            EXPECT_EQ(ReadFileBytes(settings.source + L"\\a\\b.txt"), "nested") << Narrow(spelling);
        }
    }
}

TEST_F(CopyRunTest, ATargetLongerThanMaxPathNeitherCrashesNorStopsTheRun)
{
    WriteSource(L"top.txt", "top");
    WriteSource(L"a\\b\\c.txt", "deep");
    WriteSource(L"z.txt", "last");
    const std::wstring longName(200, L'L');
    settings.separator = L"\\" + longName + L"\\";
    const std::wstring folders = L"a\\" + longName + L"\\b\\" + longName;
    const std::wstring target = destination + L"\\" + folders + L"\\c.txt";
    ASSERT_GT(target.size(), size_t{MAX_PATH} + 100);

    // Windows without long-path awareness refuses such folders, and then the copy; Wine makes both.
    const bool platformAcceptsLongPaths = CreateDirectoryPath(root / (L"probe\\" + folders + L"\\"));
    Run();

    EXPECT_EQ(ReadFileBytes(destination + L"\\top.txt"), "top");
    EXPECT_EQ(ReadFileBytes(destination + L"\\z.txt"), "last");
    ASSERT_EQ(FileExists(target), platformAcceptsLongPaths);
    if (platformAcceptsLongPaths) {
        EXPECT_EQ(ReadFileBytes(target), "deep");
    }
}

} // namespace
