#include "engine/FileLister.h"

#include "tests/support/TempFolder.h"
#include "tests/driver/WindowsRefusals.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using Names = std::set<std::wstring>;

class FileListerTest : public testing::Test {
protected:
    void Write(const std::wstring& relative) { WriteFileBytes(root / relative, "x"); }
    std::vector<std::wstring> List(const std::wstring& mask)
    {
        CurrentDirectoryScope inside(root.Path());
        found = lister.ListFiles(mask);
        return lister.FileList;
    }
    static Names AsSet(const std::vector<std::wstring>& entries) { return Names(entries.begin(), entries.end()); }
    // Position of a folder in FolderList; fails the test when absent.
    size_t FolderAt(const std::wstring& folder)
    {
        const auto position = std::find(lister.FolderList.begin(), lister.FolderList.end(), folder);
        EXPECT_NE(position, lister.FolderList.end()) << "folder not listed";
        return static_cast<size_t>(position - lister.FolderList.begin());
    }

    TempFolder root;
    FileLister lister;
    bool found = false; // what the last ListFiles returned
};

TEST_F(FileListerTest, DefaultMaskListsEveryFileRelativeToTheCurrentDirectory)
{
    Write(L"a.txt");
    Write(L"other\\d.txt");
    Write(L"sub\\b.txt");
    Write(L"sub\\deep\\c.txt");
    Write(L"sub\\hidden.txt");
    SetFileAttributesW((root / L"sub\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFolders(root / L"empty");

    const auto entries = List(L"*");
    EXPECT_TRUE(found);
    EXPECT_EQ(AsSet(entries),
              (Names{L"a.txt", L"other\\d.txt", L"sub\\b.txt", L"sub\\deep\\c.txt", L"sub\\hidden.txt"}));
    EXPECT_EQ(entries.size(), 5u) << "no entry may appear twice";
    EXPECT_EQ(AsSet(lister.FolderList), (Names{L"", L"empty\\", L"other\\", L"sub\\", L"sub\\deep\\"}));
}

TEST_F(FileListerTest, FilesFollowTheirFoldersInPreOrder)
{
    for (const wchar_t* file : {L"r.txt", L"a\\1.txt", L"a\\x\\2.txt", L"a\\x\\y\\3.txt", L"a\\z\\4.txt",
                                L"b\\5.txt", L"b\\w\\6.txt"})
        Write(file);
    const auto entries = List(L"*");
    ASSERT_EQ(entries.size(), 7u);

    // Each folder comes before the folders below it, and a subtree is complete before its next sibling.
    EXPECT_EQ(FolderAt(L""), 0u);
    EXPECT_LT(FolderAt(L"a\\"), FolderAt(L"a\\x\\"));
    EXPECT_EQ(FolderAt(L"a\\x\\") + 1, FolderAt(L"a\\x\\y\\"));
    EXPECT_LT(FolderAt(L"a\\x\\y\\"), FolderAt(L"a\\z\\"));
    const size_t a = FolderAt(L"a\\"), b = FolderAt(L"b\\");
    const size_t subtreeEnd = std::max({FolderAt(L"a\\x\\"), FolderAt(L"a\\x\\y\\"), FolderAt(L"a\\z\\")});
    EXPECT_TRUE(b < a || b > subtreeEnd) << "b\\ interrupts the subtree of a\\";
    EXPECT_EQ(FolderAt(L"b\\") + 1, FolderAt(L"b\\w\\"));

    // Files come folder by folder in FolderList order.
    auto folderOf = [](const std::wstring& entry) { return entry.substr(0, entry.rfind(L'\\') + 1); };
    for (size_t i = 1; i < entries.size(); ++i)
        EXPECT_LE(FolderAt(folderOf(entries[i - 1])), FolderAt(folderOf(entries[i]))) << "at " << i;
}

TEST_F(FileListerTest, NamePartMatchesOnlyFilesAndFoldersAreAlwaysSearched)
{
    Write(L"a.txt");
    Write(L"b.log");
    Write(L"txt.dir\\c.txt");
    Write(L"deep\\er\\d.TXT");
    Write(L"deep\\e.txt.bak");
    MakeFolders(root / L"x.txt");
    EXPECT_EQ(AsSet(List(L"*.txt")), (Names{L"a.txt", L"txt.dir\\c.txt", L"deep\\er\\d.TXT"}));
    EXPECT_EQ(AsSet(List(L"?.log")), (Names{L"b.log"}));
    // The search also tries 8.3 names (Windows' and Wine's), which would name other files.
    Write(L"page.html");
    Write(L"sub\\b.txtx");
    Write(L"read me");
    EXPECT_EQ(AsSet(List(L"*.htm")), Names{});
    EXPECT_EQ(AsSet(List(L"*.txt")), (Names{L"a.txt", L"txt.dir\\c.txt", L"deep\\er\\d.TXT"}));
    EXPECT_TRUE(AsSet(List(L"*.*")).contains(L"read me")) << "\"*.*\" names every file";
    // Wine's search takes more for "*." than Windows' does; every entry passes the matcher.
    Write(L"FOOBAR~1.TXT");
    EXPECT_EQ(AsSet(List(L"*.")), Names{L"read me"});
}

// Names that the platform's plain paths rewrite or read as devices reach their own files.
TEST_F(FileListerTest, NamesEndingInADotOrABlankAndDeviceNamesAreListedLiterally)
{
    for (const wchar_t* file : {L"d\\x", L"d.\\x", L"e\\y.", L"e\\z ", L"sub\\aux.c", L"sub\\nul", L"sub\\COM1"})
        WriteFileBytes(L"\\\\?\\" + (root / file), "x");
    EXPECT_EQ(AsSet(List(L"*")), (Names{L"d\\x", L"d.\\x", L"e\\y.", L"e\\z ", L"sub\\aux.c", L"sub\\nul", L"sub\\COM1"}));
    EXPECT_EQ(AsSet(List(L"d.\\*")), Names{L"d.\\x"});
    EXPECT_EQ(lister.LiteralPath(L"d.\\x"), L"\\\\?\\" + root.Path() + L"\\d.\\x");
    EXPECT_EQ(AsSet(List(L"sub\\..\\e\\*")), (Names{L"sub\\..\\e\\y.", L"sub\\..\\e\\z "}));
}

TEST_F(FileListerTest, FolderPartOfTheMaskPrefixesEveryEntryAsTyped)
{
    Write(L"Docs\\a.txt");
    Write(L"Docs\\sub\\b.txt");
    Write(L"c.txt");
    EXPECT_EQ(AsSet(List(L"docs\\*.txt")), (Names{L"docs\\a.txt", L"docs\\sub\\b.txt"}));
    EXPECT_EQ(lister.FolderList.front(), L"docs\\");

    const std::wstring absolute = root.Path() + L"\\Docs\\";
    EXPECT_EQ(AsSet(List(absolute + L"*")), (Names{absolute + L"a.txt", absolute + L"sub\\b.txt"}));
}

TEST_F(FileListerTest, MasksThatFindNothing)
{
    Write(L"a.txt");
    Write(L"sub\\b.txt");

    EXPECT_TRUE(List(L"missing\\*").empty());
    EXPECT_EQ(lister.FolderList, std::vector<std::wstring>{L"missing\\"});
    EXPECT_FALSE(found);

    EXPECT_TRUE(List(L"sub\\").empty()) << "a mask ending in a backslash matches nothing";
    EXPECT_TRUE(List(L"*.txt;*.log").empty()) << "a semicolon is part of one pattern";
    Write(L"x;y.txt");
    EXPECT_EQ(AsSet(List(L"x;y.txt")), (Names{L"x;y.txt"}));
    EXPECT_TRUE(List(L"C:*.txt").empty()) << "a drive's own current folder is not the source folder";
}

TEST_F(FileListerTest, EmptySourceFolderAndDotNamedFolders)
{
    EXPECT_TRUE(List(L"*").empty());
    EXPECT_EQ(lister.FolderList, std::vector<std::wstring>{L""});

    Write(L".config\\settings.ini");
    Write(L"..odd\\x.txt");
    EXPECT_EQ(AsSet(List(L"*")), (Names{L".config\\settings.ini", L"..odd\\x.txt"}));
}

TEST_F(FileListerTest, EveryRunStartsFromEmptyLists)
{
    Write(L"a.txt");
    List(L"*");
    List(L"*");
    EXPECT_EQ(lister.FileList, std::vector<std::wstring>{L"a.txt"});
    EXPECT_EQ(lister.FolderList, std::vector<std::wstring>{L""});
}

// As on Windows, where folders may refuse listing (the legacy links of a user's profile do) and a
// plain path past MAX_PATH is refused: a refusing folder in the middle of the pre-order is listed
// and adds no file, and every file of the folders after it and of a branch deeper than 300
// characters is found.
TEST_F(FileListerTest, AFolderThatRefusesListingOrLiesPastMaxPathHidesNoOtherFile)
{
    const std::wstring deep =
        std::wstring(100, L'd') + L"\\" + std::wstring(100, L'e') + L"\\" + std::wstring(100, L'f');
    const Names reachable = {L"top.txt", L"a\\1.txt", L"z\\4.txt", deep + L"\\5.txt", deep + L"\\g\\6.txt"};
    for (const std::wstring& file : reachable)
        Write(file);
    Write(L"m\\2.txt");
    Write(L"m\\sub\\3.txt");
    ASSERT_GT((root / deep).size(), 300u);
    {
        const WindowsRefusals windows({root / L"m"});
        EXPECT_EQ(AsSet(List(L"*")), reachable);
        EXPECT_FALSE(lister.Folders[FolderAt(L"m\\")].read) << "listed all the same, and known to be unread";
    }
    EXPECT_EQ(List(L"*").size(), 7u) << "without the refusals";
}

// At the root of a volume the system's own folders, hidden and system both (as WindowsRefusals
// marks them; Wine cannot), are not listed; the same names one level down are, and so is a folder
// that is only hidden. The root is a share's, which holds this test's folder alone.
TEST_F(FileListerTest, TheSystemsFoldersAreLeftOutAtTheRootOfAVolumeOnly)
{
    std::vector<std::wstring> marked;
    for (const wchar_t* folder : {L"$RECYCLE.BIN", L"System Volume Information", L"sub\\$RECYCLE.BIN",
                                  L"sub\\System Volume Information"}) {
        Write(folder + std::wstring(L"\\x.txt"));
        marked.push_back(root / folder);
    }
    Write(L".hidden\\y.txt"); // Wine: a name that starts with a dot is hidden
    SetFileAttributesW((root / L".hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    lister.sourceFolder = root.Share();
    {
        const WindowsRefusals windows(WindowsRefusals::Options{.hiddenSystem = marked});
        EXPECT_EQ(AsSet(List(L"*")),
                  (Names{L".hidden\\y.txt", L"sub\\$RECYCLE.BIN\\x.txt", L"sub\\System Volume Information\\x.txt"}));
    }
    EXPECT_EQ(List(L"*").size(), 5u) << "without the refusals";
}

TEST_F(FileListerTest, FolderLinkBackUpTheTreeIsNotFollowedAndLaterSiblingsStillCount)
{
    Write(L"a\\loop\\file.txt");
    Write(L"z\\after.txt");
    ASSERT_TRUE(MakeFolderLink(root / L"a\\loop\\up", L"..")) << "could not create a folder link";
    ASSERT_TRUE(MakeFolderLink(root / L"a\\side", L"..\\z")) << "could not create a folder link";

    const auto entries = List(L"*");
    // A link to a folder that is not above it is followed like any folder.
    EXPECT_EQ(AsSet(entries), (Names{L"a\\loop\\file.txt", L"a\\side\\after.txt", L"z\\after.txt"}));
    EXPECT_EQ(entries.size(), 3u);
}

// A folder met again below a link through an ordinary entry, not a link: here z\x, reached first
// through the link a\x and then through z, which the link x\up leads to.
TEST_F(FileListerTest, FolderMetAgainThroughAnOrdinaryEntryBelowALinkIsNotListedTwice)
{
    Write(L"z\\x\\file.txt");
    MakeFolders(root / L"a");
    ASSERT_TRUE(MakeFolderLink(root / L"a\\x", L"..\\z\\x")) << "could not create a folder link";
    ASSERT_TRUE(MakeFolderLink(root / L"z\\x\\up", L"..")) << "could not create a folder link";

    const auto entries = List(L"*");
    EXPECT_EQ(AsSet(entries), (Names{L"a\\x\\file.txt", L"z\\x\\file.txt"}));
    EXPECT_EQ(entries.size(), 2u);
}

} // namespace
