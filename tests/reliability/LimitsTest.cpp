// Runs over paths near and beyond the platform's limits: targets longer than MAX_PATH, target names
// longer than a name may be (Windows counts 255 UTF-16 units, Linux under Wine 255 bytes of UTF-8),
// and a source tree that reaches deeper than the platform can name. No run may crash, write
// outside the destination or lose a file, and the files within the limits are moved all the same:
// a path longer than MAX_PATH is within them.
#include "tests/reliability/TreeState.h"
#include "tests/ui/ProgressRunTest.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What must happen to a file of a move whose target meets a limit.
enum class Outcome {
    Moved,    // within the limits of both platforms
    Kept,     // beyond the limits of both: the copy fails and the source stays
    Either,   // within one platform's limits and beyond the other's
};

struct LimitFile {
    std::wstring entry;
    std::wstring target; // below the destination
    Outcome outcome;
};

// A folder moved elsewhere for a scope and moved back at its end.
class MovedFolder {
public:
    MovedFolder(const std::wstring& from, const std::wstring& to) : from(from), to(to)
    {
        if (!MoveFileW(from.c_str(), to.c_str()))
            throw std::runtime_error("MoveFileW failed with error " + std::to_string(GetLastError()));
    }
    ~MovedFolder() { EXPECT_TRUE(MoveFileW(to.c_str(), from.c_str())) << "the moved folder is not where it was put"; }
    MovedFolder(const MovedFolder&) = delete;
    MovedFolder& operator=(const MovedFolder&) = delete;

private:
    const std::wstring from;
    const std::wstring to;
};

class LimitsTest : public ProgressRunTest {
protected:
    // Moves the files and checks each against its outcome, and that nothing outside the destination
    // changed but the moved sources.
    void MoveAndCheck(const std::vector<LimitFile>& files)
    {
        for (const LimitFile& file : files)
            WriteSource(file.entry, "content of " + Utf8(file.entry));
        settings.deleteSource = true;
        MakeFolders(settings.destination);
        const TreeState before = ReadTree(root.Path());
        const ObservedProgressDialog::Trace trace = Run();
        const TreeState after = ReadTree(root.Path());

        ASSERT_FALSE(trace.empty());
        EXPECT_EQ(trace.back(), L"position " + std::to_wstring(files.size())) << "the run goes on to its end";
        std::set<std::wstring> sources;
        for (const LimitFile& file : files) {
            const std::string content = "content of " + Utf8(file.entry);
            const std::wstring entryPath = source + L"\\" + file.entry;
            const std::wstring targetPath = settings.destination + L"\\" + file.target;
            sources.insert(PathKey(entryPath));
            const bool kept = FileExists(entryPath) && ReadFileBytes(entryPath) == content;
            const bool moved = !FileExists(entryPath) && FileExists(targetPath) && ReadFileBytes(targetPath) == content;
            switch (file.outcome) {
            case Outcome::Moved:
                EXPECT_TRUE(moved) << Utf8(file.entry) << " should be moved";
                break;
            case Outcome::Kept:
                EXPECT_TRUE(kept && !FileExists(targetPath)) << Utf8(file.entry) << " should stay and not be copied";
                break;
            case Outcome::Either:
                EXPECT_TRUE(moved || kept) << Utf8(file.entry) << " is neither moved whole nor kept";
                break;
            }
        }
        for (const std::string& change : ChangesOutside(before, after, {PathKey(settings.destination)}, sources))
            ADD_FAILURE() << change << " (outside the destination)";
    }
};

TEST_F(LimitsTest, TargetsLongerThanMaxPathAreMovedWhole)
{
    settings.destination = root / std::wstring(150, L'D');
    const std::wstring folders = std::wstring(60, L'n') + L"\\" + std::wstring(60, L'm');
    const std::wstring folded = std::wstring(60, L'n') + L"." + std::wstring(60, L'm');
    settings.separator = L".";
    ASSERT_GT(settings.destination.size() + 1 + folded.size() + 6, size_t{MAX_PATH});
    ASSERT_LT(source.size() + 1 + folders.size() + 6, size_t{MAX_PATH}) << "the sources themselves stay short";
    MoveAndCheck({{L"short.txt", L"short.txt", Outcome::Moved},
                  {folders + L"\\a.txt", folded + L".a.txt", Outcome::Moved},
                  {L"sub\\" + folders + L"\\b.txt", L"sub." + folded + L".b.txt", Outcome::Moved}});
}

TEST_F(LimitsTest, TargetNamesOverTheLimitAreNotWrittenAndTheirSourcesKept)
{
    settings.separator = L"_";
    const std::wstring a(100, L'a'), b(100, L'b'), c(60, L'c');
    const std::wstring e(90, L'\u00e9');                // two bytes each in UTF-8
    std::wstring faces;
    for (int i = 0; i < 60; ++i)
        faces += L"\U0001F600"; // beyond the Basic Multilingual Plane: two units, four bytes
    const std::wstring x(127, L'x'), y(123, L'y');
    MoveAndCheck({
        {L"plain.txt", L"plain.txt", Outcome::Moved},
        {faces + L".txt", faces + L".txt", Outcome::Moved},       // 124 units, 244 bytes
        {a + L"\\" + b + L"\\" + c + L".txt", a + L"_" + b + L"_" + c + L".txt", Outcome::Kept}, // 266 units
        {e + L"\\" + e + L".txt", e + L"_" + e + L".txt", Outcome::Either},  // 185 units, 365 bytes
        {x + L"\\" + y + L".txt", x + L"_" + y + L".txt", Outcome::Moved},   // 255 units, a path over MAX_PATH
    });
}

// Wine cuts a name of more than 255 bytes of UTF-8 short to 255 bytes when the cut falls inside a
// character, writes the shorter name and reports the copy as done (Windows keeps names of 185 units
// as they are). Two targets that differ only behind the cut then land on one file.
TEST_F(LimitsTest, TargetsThatThePlatformCutsShortToOneNameLoseNoFile)
{
    settings.separator = L"_";
    const std::wstring e(90, L'\u00e9');
    MoveAndCheck({{e + L"\\" + e + L"A.txt", e + L"_" + e + L"A.txt", Outcome::Either},
                  {e + L"\\" + e + L"B.txt", e + L"_" + e + L"B.txt", Outcome::Either}});
}

// The same cut in a copy into the source folder itself: the target's shorter name is another
// listed source, which the copy must not overwrite.
TEST_F(LimitsTest, ATargetThatThePlatformCutsShortOntoASourceLeavesTheSourceAlone)
{
    settings.separator = L"_";
    settings.destination = source;
    const std::wstring e(90, L'\u00e9');
    const std::wstring cut = e + L"_" + std::wstring(37, L'\u00e9'); // the first 255 bytes of the target's name
    WriteSource(e + L"\\" + e + L".txt", "the long one");
    WriteSource(cut, "a file whose name is the cut one");
    Run();
    EXPECT_EQ(ReadFileBytes(source + L"\\" + cut), "a file whose name is the cut one");
    EXPECT_EQ(ReadFileBytes(source + L"\\" + e + L"\\" + e + L".txt"), "the long one");
}

// A target that is another listed file's 8.3 short name reaches that file: with an empty separator,
// the folder "PHOTOG" and the file "~1.JPG" in it fold into "PHOTOG~1.JPG" (Wine makes other short
// names, split the same way at the tilde).
TEST_F(LimitsTest, ATargetThatIsTheShortNameOfASourceLeavesTheSourceAlone)
{
    settings.separator = L"";
    settings.destination = source;
    const std::wstring longName = source + L"\\Photographs of the year 2019.jpg";
    WriteFileBytes(longName, "the photographs");
    std::wstring shortPath(MAX_PATH, L'\0');
    shortPath.resize(GetShortPathNameW(longName.c_str(), shortPath.data(), MAX_PATH));
    const std::wstring shortName = shortPath.substr(shortPath.rfind(L'\\') + 1);
    const size_t tilde = shortName.find(L'~');
    ASSERT_NE(tilde, std::wstring::npos) << "no short name: " << Utf8(shortName);
    ASSERT_GT(tilde, 0u);
    WriteSource(shortName.substr(0, tilde) + L"\\" + shortName.substr(tilde), "folded onto the short name");
    settings.deleteSource = true;
    Run();
    EXPECT_EQ(ReadFileBytes(longName), "the photographs");
    EXPECT_EQ(ReadFileBytes(source + L"\\" + shortName.substr(0, tilde) + L"\\" + shortName.substr(tilde)),
              "folded onto the short name");
}

// A tree one level deeper than the platform can create: built to the deepest folder that the
// platform makes, then pushed further by moving a prepared subtree into it. The folder that the
// listing cannot search adds no file, everything that it did not list stays where it is, and the
// folders after it are listed all the same.
TEST_F(LimitsTest, ASourceTreeDeeperThanThePlatformAllowsLosesNothing)
{
    const std::wstring name(100, L'n');
    std::wstring deepest = source + L"\\deep";
    MakeFolders(deepest);
    int levels = 0;
    while (CreateDirectoryW((deepest + L"\\" + name).c_str(), nullptr)) {
        deepest += L"\\" + name;
        ++levels;
    }
    ASSERT_GE(levels, 1);
    const std::wstring bottom = deepest.substr(0, deepest.rfind(L'\\')) + L"\\bottom.txt";
    WriteFileBytes(bottom, "at the bottom");
    WriteSource(L"a.txt", "top");
    WriteSource(L"zz\\after.txt", "after the deep folder");
    // Prepared beside the tree, then moved below its deepest folder, out of the platform's reach,
    // for the run only: beyond it, the temporary folder could not remove it.
    const std::wstring prepared = root / L"prepared";
    WriteFileBytes(prepared + L"\\" + name + L"\\" + name + L"\\beyond.txt", "beyond the limit");
    settings.separator = L"\\";
    settings.deleteSource = true;
    ObservedProgressDialog::Trace trace;
    {
        const MovedFolder beyond(prepared, deepest + L"\\m");
        ASSERT_FALSE(FileExists(deepest + L"\\m\\" + name + L"\\" + name + L"\\beyond.txt"))
            << "the platform can still reach the moved file";
        trace = Run();
    }

    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back(), L"position 3") << "a.txt, bottom.txt and after.txt are listed, and the run ends";
    EXPECT_EQ(ReadFileBytes(destination + L"\\a.txt"), "top");
    EXPECT_FALSE(FileExists(source + L"\\a.txt"));
    const std::wstring bottomTarget = destination + bottom.substr(source.size());
    EXPECT_NE(FileExists(bottom), FileExists(bottomTarget)) << "bottom.txt is either moved or kept";
    EXPECT_EQ(ReadFileBytes(FileExists(bottom) ? bottom : bottomTarget), "at the bottom");
    EXPECT_EQ(ReadFileBytes(prepared + L"\\" + name + L"\\" + name + L"\\beyond.txt"), "beyond the limit");
    EXPECT_FALSE(FileExists(source + L"\\zz\\after.txt"));
    EXPECT_EQ(ReadFileBytes(destination + L"\\zz\\after.txt"), "after the deep folder")
        << "the folders after the one that cannot be searched are listed";
}

} // namespace
