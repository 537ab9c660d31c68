#include "engine/FileLister.h"

#include "engine/NameMatch.h"
#include "engine/PlatformPath.h"

#include <windows.h>

#include <algorithm>

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
    FolderIds.clear();
    FileFolders.clear();
    scanPath.clear();
    // The directory search takes a slash for a folder delimiter, so the mask's folders are split
    // the same way: otherwise "sub/*.txt" would find sub\x.txt and list it as x.txt.
    std::replace(mask.begin(), mask.end(), L'/', L'\\');
    const std::wstring folderPart = FolderPart(mask);
    const std::wstring namePart = mask.substr(folderPart.size());
    folderPartSize = folderPart.size();
    // The source folder as the platform resolves its text; the mask's folders below it literally.
    const std::wstring base = sourceFolder.empty() ? CurrentDirectory() : FullPath(sourceFolder);
    startFolder = ::LiteralPath(base, folderPart.empty() ? L"." : folderPart);
    if (startFolder.empty()) {
        FolderList.push_back(folderPart); // a folder part that names no folder finds nothing
        FolderIds.push_back(std::nullopt);
        return false;
    }
    if (!startFolder.ends_with(L'\\'))
        startFolder += L'\\';
    ScanFolders(mask); // a failed scan still leaves the folders it reached
    if (namePart.find(L':') != std::wstring::npos)
        return false;
    for (filesFolder = 0; filesFolder < FolderList.size(); ++filesFolder)
        ScanFiles(FolderList[filesFolder] + namePart);
    return !FileList.empty();
}

bool FileLister::ScanFolders(std::wstring path, bool throughLink)
{
    const std::wstring folder = FolderPart(path);
    const std::wstring literal = LiteralPath(folder);
    const std::optional<FileId> id = ReadFileId(literal);

    if (id && !scanPath.empty() && id == excludedFolder)
        return true; // the destination: its files are this run's results
    // Without a link on the scan path the folders only go down the tree and none can come twice;
    // from the first link on, a folder may be one further up, which would otherwise be followed
    // until the platform refuses the path.
    const bool belowLink = throughLink || std::any_of(scanPath.begin(), scanPath.end(),
                                                      [](const ScanStep& step) { return step.throughLink; });
    if (belowLink && id && std::any_of(scanPath.begin(), scanPath.end(), [&](const ScanStep& step) { return step.id == id; }))
        return true; // already being scanned further up: go on with the next sibling

    FolderList.push_back(folder);
    FolderIds.push_back(id);

    WIN32_FIND_DATAW data;
    FindHandle search(literal + L"*", data);
    if (!search.IsOpen())
        return false;

    scanPath.push_back({throughLink, id});
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

void FileLister::ScanFiles(std::wstring pattern)
{
    const std::wstring folder = FolderPart(pattern);
    const std::wstring namePart = pattern.substr(folder.size());
    WIN32_FIND_DATAW data;
    FindHandle search(LiteralPath(folder) + namePart, data);
    if (!search.IsOpen())
        return;
    do {
        // A file that has a short name of its own may have been found through it alone.
        if (!IsFolder(data) && (data.cAlternateFileName[0] == L'\0' || NameMatches(data.cFileName, namePart))) {
            FileList.push_back(folder + data.cFileName);
            FileFolders.push_back(filesFolder);
        }
    } while (search.Next(data));
}

std::wstring FileLister::LiteralPath(const std::wstring& listed) const
{
    return startFolder + listed.substr(std::min(folderPartSize, listed.size()));
}
