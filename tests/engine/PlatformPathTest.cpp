// The paths that the engine hands to the platform, under the refusals that Windows makes and Wine
// does not (WindowsRefusals): the harness refuses exactly those calls and passes the rest, and the
// form that PlatformPath gives reaches what the plain path names.
#include "engine/PathText.h"
#include "engine/PlatformPath.h"

#include "tests/support/TempFolder.h"
#include "tests/driver/WindowsRefusals.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

// A path below `folder` whose full form has `length` characters, through folders of 99 characters.
std::wstring PathOfLength(const std::wstring& folder, size_t length)
{
    std::wstring path = folder;
    while (path.size() + 101 < length)
        path += L"\\" + std::wstring(99, L'n');
    return path + L"\\" + std::wstring(length - path.size() - 1, L'f');
}

// A plain folder creation in a function of its own: the compiler may keep an import's address for
// the rest of a function, so a test's own body need not see the table change back.
[[gnu::noinline]] bool FolderMade(const std::wstring& folder)
{
    return CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
}

// What the engine asks of a path's text: its root, whether it names a place from anywhere, its
// extended and plain forms, the literal names below a folder, and the key by which two spellings
// of one path compare.
TEST(PathTextTest, RootsFormsAndKeys)
{
    const std::pair<const wchar_t*, size_t> roots[] = {
        {L"C:\\x", 3},           {L"\\x", 1},          {L"x\\y", 0},        {L"C:x", 0},
        {L"\\\\srv\\share\\x", 12}, {L"\\\\?\\C:\\x", 7}, {L"\\\\?\\UNC\\srv\\share\\x", 18}};
    for (const auto& [path, length] : roots)
        EXPECT_EQ(RootLength(path), length) << testing::PrintToString(std::wstring(path));
    for (const wchar_t* full : {L"C:\\x", L"C:/x", L"\\\\srv\\s", L"//srv/s", L"\\\\?\\C:\\"})
        EXPECT_TRUE(IsFullPath(full)) << testing::PrintToString(std::wstring(full));
    for (const wchar_t* relative : {L"C:x", L"\\x", L"x", L"E:"})
        EXPECT_FALSE(IsFullPath(relative)) << testing::PrintToString(std::wstring(relative));
    EXPECT_TRUE(IsBareDrive(L"e:"));
    EXPECT_FALSE(IsBareDrive(L"1:"));
    EXPECT_EQ(ExtendedPath(L"\\\\srv\\share\\x"), L"\\\\?\\UNC\\srv\\share\\x");
    EXPECT_EQ(PlainPath(L"\\\\?\\UNC\\srv\\share\\x"), L"\\\\srv\\share\\x");
    EXPECT_EQ(AppendLiterally(L"\\\\?\\C:\\d", L"..\\..\\a.\\.\\\\b "), L"\\\\?\\C:\\a.\\b ");
    EXPECT_EQ(LiteralPath(L"C:\\base", L"\\x\\y."), L"\\\\?\\C:\\x\\y.");
    EXPECT_EQ(FolderPart(L"a\\b\\c"), L"a\\b\\");
    EXPECT_EQ(LastName(L"c"), L"c");
    // One folder spelled otherwise gives one key; a trailing dot kept literally gives another.
    EXPECT_EQ(ComparablePath(L"c:/Base/sub/../Flat\\"), ComparablePath(L"\\\\?\\C:\\BASE\\flat"));
    EXPECT_NE(ComparablePath(L"\\\\?\\C:\\base\\d."), ComparablePath(L"C:\\base\\d"));
}

TEST(WindowsRefusalsTest, RefusesPlainPathsFromTheLimitAndSearchesInTheNamedFoldersOnly)
{
    const TempFolder root;
    const std::wstring fits = PathOfLength(root.Path(), 259), reaches = PathOfLength(root.Path(), 260);
    WriteFileBytes(fits, "fits");
    WriteFileBytes(reaches, "reaches the limit");
    WriteFileBytes(root / L"copy", "copied");
    WriteFileBytes(root / L"deny\\x.txt", "in a folder that refuses listing");
    MakeFolders(root / L"deny\\sub");
    MakeFolders(root / L"allow");
    const std::wstring extended = PlatformPath(reaches);
    EXPECT_EQ(PlatformPath(fits), fits);
    EXPECT_EQ(extended, L"\\\\?\\" + reaches);

    // Each call covered, by whether it succeeded; DeleteFileW last, as it takes the files away.
    const std::wstring copy = root / L"copy";
    const std::vector<std::pair<const char*, std::function<bool(const std::wstring&)>>> calls = {
        {"GetFileAttributesW", [](auto& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }},
        {"SetFileAttributesW", [](auto& path) { return SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) != 0; }},
        {"FindFirstFileW",
         [](auto& path) {
             WIN32_FIND_DATAW data;
             const HANDLE search = FindFirstFileW(path.c_str(), &data);
             return search != INVALID_HANDLE_VALUE && FindClose(search);
         }},
        {"CreateFileW",
         [](auto& path) {
             const HANDLE file =
                 CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
             return file != INVALID_HANDLE_VALUE && CloseHandle(file);
         }},
        {"CopyFileW from", [&copy](auto& path) { return CopyFileW(path.c_str(), copy.c_str(), FALSE) != 0; }},
        {"CopyFileW to", [&copy](auto& path) { return CopyFileW(copy.c_str(), path.c_str(), FALSE) != 0; }},
        {"DeleteFileW", [](auto& path) { return DeleteFileW(path.c_str()) != 0; }},
    };
    const std::wstring folders[] = {PathOfLength(root.Path(), 247), PathOfLength(root.Path(), 248),
                                    PathOfLength(root.Path(), 260)};
    for (const std::wstring& folder : folders)
        MakeFolders(folder.substr(0, folder.rfind(L'\\')));
    {
        const WindowsRefusals windows({root / L"deny"});
        {
            // A relative path is measured by its full form.
            const CurrentDirectoryScope deep(reaches.substr(0, reaches.rfind(L'\\')));
            EXPECT_EQ(GetFileAttributesW(reaches.substr(reaches.rfind(L'\\') + 1).c_str()), INVALID_FILE_ATTRIBUTES);
            EXPECT_EQ(GetLastError(), DWORD{ERROR_PATH_NOT_FOUND});
        }
        for (const auto& [name, call] : calls) {
            EXPECT_TRUE(call(fits)) << name << " at 259 characters";
            SetLastError(0);
            EXPECT_FALSE(call(reaches)) << name << " at 260 characters";
            EXPECT_EQ(GetLastError(), DWORD{ERROR_PATH_NOT_FOUND}) << name;
            EXPECT_TRUE(call(extended)) << name << " in the extended form";
        }

        EXPECT_TRUE(CreateDirectoryW(folders[0].c_str(), nullptr));
        EXPECT_FALSE(CreateDirectoryW(folders[1].c_str(), nullptr));
        EXPECT_EQ(GetLastError(), DWORD{ERROR_FILENAME_EXCED_RANGE});
        EXPECT_FALSE(CreateDirectoryW(folders[2].c_str(), nullptr));
        EXPECT_EQ(GetLastError(), DWORD{ERROR_PATH_NOT_FOUND});
        EXPECT_TRUE(CreateDirectoryW(PlatformPath(folders[1], plainFolderLimit).c_str(), nullptr));
        EXPECT_TRUE(CreateDirectoryW(PlatformPath(folders[2], plainFolderLimit).c_str(), nullptr));

        WIN32_FIND_DATAW data;
        const CurrentDirectoryScope inRoot(root.Path());
        for (const std::wstring& pattern : {root / L"deny\\*", root / L"DENY\\x.txt", std::wstring(L"deny/*"),
                                            L"\\\\?\\" + root.Path() + L"\\deny\\*"}) {
            SetLastError(0);
            EXPECT_EQ(FindFirstFileW(pattern.c_str(), &data), INVALID_HANDLE_VALUE) << pattern;
            EXPECT_EQ(GetLastError(), DWORD{ERROR_ACCESS_DENIED}) << pattern;
        }
        for (const std::wstring& pattern : {root / L"deny", root / L"deny\\sub\\*", root / L"allow\\*"}) {
            const HANDLE search = FindFirstFileW(pattern.c_str(), &data);
            EXPECT_NE(search, INVALID_HANDLE_VALUE) << pattern;
            FindClose(search);
        }
        // The current directory, within the scope above that puts it back.
        EXPECT_TRUE(SetCurrentDirectoryW(folders[1].c_str()));
        EXPECT_FALSE(SetCurrentDirectoryW(folders[2].c_str()));
        EXPECT_EQ(GetLastError(), DWORD{ERROR_FILENAME_EXCED_RANGE});
    }
    for (const std::wstring& folder : folders)
        EXPECT_TRUE(FolderExists(folder)) << folder;
    EXPECT_TRUE(FolderMade(folders[1] + L"x")) << "the real functions are back";
}

} // namespace
