#include "engine/FileLister.h"

#include "engine/PlatformPath.h"

#include <windows.h>

#include <algorithm>

namespace {

// A directory search handle, closed when the search goes out of scope.
class FindHandle {
public:
    FindHandle(const std::wstring& pattern, WIN32_FIND_DATAW& data)
        : handle(FindFirstFileW(PlatformPath(pattern).c_str(), &data)) {}
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
    // The directory search takes a slash for a folder delimiter, so the mask's folders are split
    // the same way: otherwise "sub/*.txt" would find sub\x.txt and list it as x.txt.
    std::replace(mask.begin(), mask.end(), L'/', L'\\');
    const std::wstring namePart = mask.substr(FolderPart(mask).size());
    ScanFolders(mask); // a failed scan still leaves the folders it reached
    for (const std::wstring& folder : FolderList)
        ScanFiles(folder + namePart);
    return !FileList.empty();
}

bool FileLister::ScanFolders(std::wstring path, bool throughLink)
{
    const std::wstring folder = FolderPart(path);

    // Without a link on the scan path the folders only go down the tree and none can come twice;
    // from the first link on, a folder may be one further up, which would otherwise be followed
    // until the platform refuses the path.
    const bool belowLink = throughLink || std::any_of(scanPath.begin(), scanPath.end(),
                                                      [](const ScanStep& step) { return step.throughLink; });
    if (belowLink && IsOnScanPath(folder))
        return true; // already being scanned further up: go on with the next sibling

    FolderList.push_back(folder);

    WIN32_FIND_DATAW data;
    FindHandle search(folder + L"*", data);
    if (!search.IsOpen())
        return false;

    scanPath.push_back({folder, throughLink, false, std::nullopt});
    bool complete = true;
    do {
        if (!IsFolder(data))
            continue;
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        // A subfolder that refuses its search (on Windows many do, such as the legacy links in a
        // user's profile) is still listed and hides none of the folders after it.
        if (!ScanFolders(folder + name + L"\\", (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0))
            complete = false;
    } while (search.Next(data));
    scanPath.pop_back();
    return complete;
}

std::optional<FileLister::FolderId> FileLister::ReadFolderId(const std::wstring& folder)
{
    std::optional<FolderId> id;
    const HANDLE opened = CreateFileW(PlatformPath(folder.empty() ? L"." : folder).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return id;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(opened, &info))
        id = FolderId{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    CloseHandle(opened);
    return id;
}

bool FileLister::IsOnScanPath(const std::wstring& folder)
{
    const std::optional<FolderId> id = ReadFolderId(folder);
    if (!id)
        return false;
    for (ScanStep& step : scanPath) {
        if (!step.idRead) {
            step.id = ReadFolderId(step.folder);
            step.idRead = true;
        }
        if (step.id == id)
            return true;
    }
    return false;
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
