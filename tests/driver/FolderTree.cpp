#include "tests/driver/FolderTree.h"

#include "engine/PlatformPath.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

namespace {

void ReadBelow(const std::wstring& folder, const std::wstring& relative, FolderTree& tree)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(PlatformPath(folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree.folders.insert(path);
            ReadBelow(folder + L"\\" + name, path, tree);
        } else {
            tree.files[path] = ReadFileBytes(folder + L"\\" + name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

FolderTree FolderTree::Read(const std::wstring& folder)
{
    FolderTree tree;
    ReadBelow(folder, L"", tree);
    return tree;
}

void FolderTree::Write(const std::wstring& folder, const std::map<std::wstring, std::string>& files)
{
    for (const auto& [path, content] : files)
        WriteFileBytes(folder + L"\\" + path, content);
}
