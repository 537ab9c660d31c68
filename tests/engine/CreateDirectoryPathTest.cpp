#include "engine/CreateDirectoryPath.h"

#include "tests/support/TempFolder.h"
#include "tests/driver/WindowsRefusals.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(CreateDirectoryPathTest, CreatesEveryFolderBeforeTheLastBackslash)
{
    const TempFolder root;
    EXPECT_TRUE(CreateDirectoryPath(root / L"2019_\\trip_\\c.jpg"));
    EXPECT_TRUE(FolderExists(root / L"2019_"));
    EXPECT_TRUE(FolderExists(root / L"2019_\\trip_"));
    EXPECT_FALSE(FolderExists(root / L"2019_\\trip_\\c.jpg")) << "the name behind the last backslash is a file's";
    EXPECT_FALSE(FileExists(root / L"2019_\\trip_\\c.jpg"));

    EXPECT_TRUE(CreateDirectoryPath(root / L"2019_\\trip_\\")) << "existing folders count as created";
    // A folder that more of the path follows keeps a trailing blank, as the path reaches it then;
    // slashes delimit folders too.
    EXPECT_TRUE(CreateDirectoryPath(root / L"blank \\x\\c.jpg"));
    EXPECT_TRUE(FolderExists(L"\\\\?\\" + (root / L"blank \\x")));
    EXPECT_FALSE(FolderExists(root / L"blank"));
    EXPECT_TRUE(CreateDirectoryPath(root.Path() + L"/s1/s2/c.jpg"));
    EXPECT_TRUE(FolderExists(root / L"s1\\s2"));
    EXPECT_TRUE(CreateDirectoryPath(L""));
    EXPECT_TRUE(CreateDirectoryPath(L"C:\\"));
}

TEST(CreateDirectoryPathTest, AFolderThePlatformRefusesEndsTheWalk)
{
    const TempFolder root;
    // Without stopping at the refused name, "a<b\.." would resolve to the root and "c" be made.
    EXPECT_FALSE(CreateDirectoryPath(root / L"a<b\\..\\c\\"));
    EXPECT_FALSE(FolderExists(root / L"c"));

    // A file where a folder belongs counts as present, but nothing can be made below it.
    WriteFileBytes(root / L"file", "x");
    EXPECT_FALSE(CreateDirectoryPath(root / L"file\\sub\\"));
    EXPECT_TRUE(FileExists(root / L"file"));
}

// The root that a path begins with names no folder to create; every folder below it is made.
TEST(CreateDirectoryPathTest, TheRootOfADriveAShareOrTheirExtendedFormsIsSteppedOver)
{
    TempFolder root;
    const std::wstring share = root.Share();
    const CurrentDirectoryScope inside(root.Path()); // "\\..." is on its drive
    EXPECT_TRUE(CreateDirectoryPath(root.Path().substr(2) + L"\\rooted\\x\\"));
    EXPECT_TRUE(CreateDirectoryPath(L"\\\\?\\" + root.Path() + L"\\extended\\x\\"));
    EXPECT_TRUE(CreateDirectoryPath(share + L"\\shared\\x\\"));
    EXPECT_TRUE(CreateDirectoryPath(L"\\\\?\\UNC" + share.substr(1) + L"\\unc\\x\\"));
    for (const wchar_t* made : {L"rooted\\x", L"extended\\x", L"shared\\x", L"unc\\x"})
        EXPECT_TRUE(FolderExists(root / made)) << made;
    EXPECT_FALSE(CreateDirectoryPath(L"\\\\ferrix-no-server\\share\\x\\"));
}

// Longer than the 260 characters of a classic path buffer, on a drive and on a share, as Wine
// takes such paths and as Windows refuses them when they are not in the extended form. Every
// folder is made under the name that the plain path gives it: a trailing dot names the folder
// without it.
TEST(CreateDirectoryPathTest, APathLongerThanMaxPathIsMadeToItsEnd)
{
    TempFolder root;
    std::wstring chain, named; // the folders as given, and as the platform names them
    for (int level = 0; level < 30; ++level) {
        const std::wstring name = L"folder" + std::to_wstring(level + 1000);
        chain += name + (level == 20 ? L".\\" : L"\\");
        named += name + L"\\";
    }
    const std::wstring dotted = L"\\\\?\\" + root.Path() + L"\\walked\\" + chain.substr(0, chain.find(L".\\") + 1);
    for (const bool asOnWindows : {false, true}) {
        for (const std::wstring& top : {root.Path(), root.Share()}) {
            SCOPED_TRACE(top + (asOnWindows ? L", as on Windows" : L""));
            const std::wstring walked = top + L"\\walked\\" + chain;
            ASSERT_GT(walked.size(), size_t{MAX_PATH} + 100);
            {
                std::optional<WindowsRefusals> windows;
                if (asOnWindows)
                    windows.emplace();
                EXPECT_TRUE(CreateDirectoryPath(walked + L"file.txt"));
            }
            EXPECT_TRUE(FolderExists(root / (L"walked\\" + named)));
            EXPECT_FALSE(FolderExists(dotted)) << "a folder whose name ends in a dot";
            RemoveTree(root / L"walked");
        }
    }
}

} // namespace
