// The copy plan's decisions, row by row, without a dialog and without a disk: each row hands the
// plan a listing and the file system that it may read (what each folder path reaches, which pairs
// of paths are one folder), and names what the run must do with each listed file.
#include "engine/CopyPlan.h"
#include "engine/PathText.h"
#include "engine/PlatformPath.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Action = CopyStep::Action;
using Reason = RunReport::Reason;

// An identity that a row names by a number; 0 is none.
std::optional<FileId> Id(int number)
{
    if (number == 0)
        return std::nullopt;
    FileId id;
    id.file[0] = static_cast<std::uint8_t>(number);
    return id;
}

// What the row's file system holds: the folders that are there, with their identities, and the
// pairs that are one folder. Every other path is not there.
class RowFileSystem final : public FileSystemView {
public:
    Reached At(const std::wstring& path) override
    {
        const auto found = folders.find(ComparablePath(path));
        return found == folders.end() ? Reached{} : Reached{true, Id(found->second)};
    }
    bool SameFolder(const std::wstring& writable, const std::wstring& other) override
    {
        return same.contains({ComparablePath(writable), ComparablePath(other)});
    }

    std::map<std::wstring, int> folders;
    std::set<std::pair<std::wstring, std::wstring>> same;
};

struct ListedFolder {
    const wchar_t* listed; // as the listing names it, "" for the source folder
    int id;
    bool behindLink = false;
};

struct Decision {
    const wchar_t* entry;
    Action action;
    Reason reason = Reason::CopyFailed; // looked at for PassOver and CopyAndKeep
    bool gone = false;                  // the run deletes the source after its step
};

struct PlanRow {
    const char* name;
    std::vector<ListedFolder> folders; // below C:\src\; each file lies in the last folder of its path
    const wchar_t* destination;
    const wchar_t* separator;
    bool move;
    std::vector<std::pair<const wchar_t*, int>> there;       // folders on the destination's side
    std::vector<std::pair<const wchar_t*, const wchar_t*>> same; // proven one: writable, other
    std::vector<Decision> decisions;                          // in the listing's order
};

void PrintTo(const PlanRow& row, std::ostream* out)
{
    *out << row.name;
}

class CopyPlanTest : public testing::TestWithParam<PlanRow> {};

TEST_P(CopyPlanTest, DecidesEachFileAsTheRulesSay)
{
    const PlanRow& row = GetParam();
    const std::wstring source = L"C:\\src\\";
    FileLister listing;
    for (const ListedFolder& folder : row.folders) {
        listing.FolderList.push_back(folder.listed);
        listing.Folders.push_back({L"\\\\?\\" + source + folder.listed, Id(folder.id), folder.behindLink, true});
    }
    RowFileSystem files;
    for (const ListedFolder& folder : row.folders)
        files.folders[ComparablePath(source + folder.listed)] = folder.id;
    for (const auto& [path, id] : row.there)
        files.folders[ComparablePath(path)] = id;
    for (const auto& [writable, other] : row.same)
        files.same.insert({ComparablePath(writable), ComparablePath(other)});
    for (const Decision& decision : row.decisions) {
        const std::wstring entry = decision.entry;
        const std::wstring folder = entry.substr(0, entry.rfind(L'\\') + 1);
        size_t index = 0;
        while (index < row.folders.size() && folder != row.folders[index].listed)
            ++index;
        ASSERT_LT(index, row.folders.size()) << "no listed folder for " << testing::PrintToString(entry);
        listing.FileList.push_back(entry);
        listing.FileFolders.push_back(static_cast<std::uint32_t>(index));
    }

    CopyPlan plan(MakeNamingRule(source, row.destination, row.separator), listing, row.move, files);
    for (size_t index = 0; index < row.decisions.size(); ++index) {
        const Decision& expected = row.decisions[index];
        const CopyStep step = plan.Decide(index);
        EXPECT_EQ(step.action, expected.action) << testing::PrintToString(std::wstring(expected.entry));
        if (expected.action == Action::PassOver || expected.action == Action::CopyAndKeep) {
            EXPECT_EQ(step.reason, expected.reason) << testing::PrintToString(std::wstring(expected.entry));
        }
        EXPECT_EQ(step.from, listing.Folders[listing.FileFolders[index]].path + LastName(expected.entry));
        if (expected.gone)
            plan.SourceGone(index);
    }
}

INSTANTIATE_TEST_SUITE_P(
    , CopyPlanTest,
    testing::Values(
        PlanRow{"IntoAFreshFolder", {{L"", 1}, {L"sub\\", 2}}, L"D:\\dst", L".", true, {{L"D:\\dst", 9}}, {},
                {{L"a.txt", Action::Move}, {L"sub\\b.txt", Action::Move}}},
        PlanRow{"NamesThatWindowsReservesOrRewrites", {{L"", 1}, {L"d\\", 2}}, L"D:\\dst", L".", false, {}, {},
                {{L"con.txt", Action::PassOver, Reason::ReservedName},
                 {L"a.", Action::PassOver, Reason::UnusableName},
                 {L"d\\nul", Action::Copy}}},
        PlanRow{"ASeparatorThatLeavesTheDestination", {{L"", 1}, {L"sub\\", 2}}, L"D:\\dst", L"\\..\\..\\", true, {}, {},
                {{L"a.txt", Action::Move}, {L"sub\\b.txt", Action::PassOver, Reason::OutsideDestination}}},
        // The later copy wins; the earlier source stays, its copy replaced.
        PlanRow{"TwoFilesWithOneTarget", {{L"", 1}, {L"a\\", 2}}, L"D:\\dst", L"_", true, {{L"D:\\dst", 9}}, {},
                {{L"a_b.txt", Action::CopyAndKeep, Reason::SameTargetLater}, {L"a\\b.txt", Action::Move}}},
        PlanRow{"BehindAFolderLink", {{L"", 1}, {L"link\\", 2, true}, {L"link\\deep\\", 3, true}}, L"D:\\dst", L".", true,
                {}, {},
                {{L"a.txt", Action::Move},
                 {L"link\\b.txt", Action::CopyAndKeep, Reason::BehindLink},
                 {L"link\\deep\\c.txt", Action::CopyAndKeep, Reason::BehindLink}}},
        // Into the source itself, spelled alike: a file that is its own target stays where it is,
        // and one that would overwrite a listed file stays until that file has gone.
        PlanRow{"IntoTheSourceItself", {{L"", 1}, {L"a\\", 2}, {L"c\\", 3}}, L"c:\\SRC", L"_", true, {}, {},
                {{L"a_b.txt", Action::InPlace},
                 {L"c_d.txt", Action::InPlace},
                 {L"a\\b.txt", Action::PassOver, Reason::WouldOverwriteSource},
                 {L"c\\d.txt", Action::PassOver, Reason::WouldOverwriteSource}}},
        // The link q in the destination leads to the listed a: once a\a.txt has gone, its name may
        // take the copy of q\a.txt.
        PlanRow{"OntoASourceThatHasGone", {{L"", 1}, {L"a\\", 2}, {L"q\\", 3}}, L"D:\\dst", L"\\", true,
                {{L"D:\\dst", 9}, {L"D:\\dst\\q", 2}}, {{L"D:\\dst\\q", L"\\\\?\\C:\\src\\a\\"}},
                {{L"a\\a.txt", Action::Move, Reason::CopyFailed, true}, {L"q\\a.txt", Action::Move}}},
        // A folder link in the destination leads into the source, proven one with the listed folder.
        PlanRow{"ALinkInTheDestinationLeadsIntoTheSource", {{L"", 1}, {L"q\\", 2}, {L"z\\", 3}}, L"D:\\dst", L"\\",
                true, {{L"D:\\dst", 9}, {L"D:\\dst\\q", 3}}, {{L"D:\\dst\\q", L"\\\\?\\C:\\src\\z\\"}},
                {{L"q\\a.txt", Action::PassOver, Reason::WouldOverwriteSource}, {L"z\\a.txt", Action::Move}}},
        // The same identity unproven, as on a cloned volume: another folder, written into freely.
        PlanRow{"ARepeatedIdentityThatIsNotProven", {{L"", 1}, {L"q\\", 2}, {L"z\\", 3}}, L"D:\\dst", L"\\", true,
                {{L"D:\\dst", 1}, {L"D:\\dst\\q", 3}, {L"D:\\dst\\z", 2}}, {},
                {{L"a.txt", Action::Move}, {L"q\\a.txt", Action::Move}, {L"z\\a.txt", Action::Move}}},
        // Without identities only the text tells; a target folder that is not there is new.
        PlanRow{"TextAloneWhereNoIdentityIsKnown", {{L"", 0}, {L"sub\\", 0}}, L"C:\\SRC\\Sub", L"\\", true, {}, {},
                {{L"x.txt", Action::PassOver, Reason::WouldOverwriteSource}, {L"sub\\x.txt", Action::Move}}}),
    [](const testing::TestParamInfo<PlanRow>& info) { return info.param.name; });

} // namespace
