#include "engine/FileLister.h"

#include <windows.h>

#include <algorithm>
#include <optional>

namespace {

// A directory search handle, closed when the search goes out of scope.
class FindHandle {
public:
    FindHandle(const std::wstring& pattern, WIN32_FIND_DATAW& data)
        : handle(FindFirstFileW(pattern.c_str(), &data)) {}
    ~FindHandle()
    {
        if (IsOpen())
            FindClose(handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& data) { return FindNextFileW(handle, &data) != 0; }

private:
    HANDLE handle;
};

// The folder part of a path: up to and including its last backslash, or "".
std::wstring FolderPart(const std::wstring& path)
{
    const size_t last = path.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

bool IsFolder(const WIN32_FIND_DATAW& data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

bool FileLister::ListFiles(std::wstring mask)
{
    FolderList.clear();
    FileList.clear();
    scanPath.clear();
    const std::wstring namePart = mask.substr(FolderPart(mask).size());
    ScanFolders(mask); // a failed scan still leaves the folders it reached
    for (const std::wstring& folder : FolderList)
        ScanFiles(folder + namePart);
    return !FileList.empty();
}

bool FileLister::ScanFolders(std::wstring path)
{
    const std::wstring folder = FolderPart(path);

    // The identity of the folder the path names; a folder link that leads back to a folder above
    // it on this scan path would otherwise be followed until the platform refuses the path.
    std::optional<FolderId> id;
    HANDLE opened = CreateFileW(folder.empty() ? L"." : folder.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(opened, &info))
            id = FolderId{info.dwVolumeSerialNumber,
                          (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
        CloseHandle(opened);
    }
    if (id && std::find(scanPath.begin(), scanPath.end(), *id) != scanPath.end())
        return true; // already being scanned further up: go on with the next sibling

    FolderList.push_back(folder);

    WIN32_FIND_DATAW data;
    FindHandle search(folder + L"*", data);
    if (!search.IsOpen())
        return false;

    if (id)
        scanPath.push_back(*id);
    bool complete = true;
    do {
        if (!IsFolder(data))
            continue;
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (!ScanFolders(folder + name + L"\\")) {
            complete = false;
            break;
        }
    } while (search.Next(data));
    if (id)
        scanPath.pop_back();
    return complete;
}

void FileLister::ScanFiles(std::wstring pattern)
{
    const std::wstring folder = FolderPart(pattern);
    WIN32_FIND_DATAW data;
    FindHandle search(pattern, data);
    if (!search.IsOpen())
        return;
    do {
        if (!IsFolder(data))
            FileList.push_back(folder + data.cFileName);
    } while (search.Next(data));
}
