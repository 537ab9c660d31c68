#include "engine/CreateDirectoryPath.h"

#include "engine/PlatformPath.h"

#include <windows.h>

bool CreateDirectoryPath(const std::wstring& path)
{
    if (path.empty())
        return true;
    // A folder that is there already needs no walk: one query instead of a creation per
    // backslash, which a path of thousands of components (such as "dst\.\.\...") would make,
    // each slower the longer the path.
    const size_t last = path.rfind(L'\\');
    if (last != std::wstring::npos) {
        const DWORD attributes = GetFileAttributesW(PlatformPath(path.substr(0, last)).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return true;
    }
    std::wstring folder;
    folder.reserve(path.size());
    size_t next = 0;
    // A drive prefix ("C:\") names a root, which is never created.
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
        folder = path.substr(0, 3);
        next = 3;
    }
    for (; next < path.size(); ++next) {
        if (path[next] == L'\\') {
            // Another object of that name (even a file) counts as present; the copy into it then fails.
            if (!CreateDirectoryW(PlatformPath(folder, plainFolderLimit).c_str(), nullptr) &&
                GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
        }
        folder += path[next];
    }
    return true;
}
