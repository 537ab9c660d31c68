#include "engine/CreateDirectoryPath.h"

#include "engine/PlatformPath.h"

#include <windows.h>

namespace {

// The length of the root that begins the path, which names no folder to create: "C:\", "\",
// "\\server\share\", "\\?\C:\" or "\\?\UNC\server\share\"; 0 when the path has none.
size_t RootLength(const std::wstring& path)
{
    // Where the given number of names, each with the backslash behind it, end from `from` on.
    const auto behind = [&path](size_t from, int names) {
        for (; names > 0 && from < path.size(); --names) {
            const size_t slash = path.find(L'\\', from);
            from = slash == std::wstring::npos ? path.size() : slash + 1;
        }
        return from;
    };
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return behind(8, 2);
    if (path.starts_with(L"\\\\?\\"))
        return behind(4, 1);
    if (path.starts_with(L"\\\\"))
        return behind(2, 2);
    if (path.starts_with(L"\\"))
        return 1;
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' ? 3 : 0;
}

} // namespace

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
    size_t next = RootLength(path);
    std::wstring folder = path.substr(0, next);
    folder.reserve(path.size());
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
