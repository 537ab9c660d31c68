#include "engine/CreateDirectoryPath.h"

#include "engine/PlatformPath.h"

#include <windows.h>

#include <algorithm>

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
    // A slash delimits folders as a backslash does, but in the extended form, which takes every
    // character as it stands.
    const bool extended = path.starts_with(L"\\\\?\\");
    std::wstring text = path;
    if (!extended)
        std::replace(text.begin(), text.end(), L'/', L'\\');
    // The folder that the text up to the backslash at `end` names, as the rest of the path reaches
    // it: made full, "." and ".." resolved and one trailing dot dropped, but a trailing blank kept,
    // since a name followed by more of the path keeps it. It is then made literally, in the
    // extended form, so that every later path reaches the very folder made, of any length.
    const auto folderAt = [&](size_t end) {
        std::wstring folder = extended ? text.substr(0, end + 1) : ExtendedPath(FullPath(text.substr(0, end + 1)));
        if (folder.size() > RootLength(folder) && folder.back() == L'\\')
            folder.pop_back();
        return folder;
    };
    const size_t last = text.rfind(L'\\');
    if (last == std::wstring::npos)
        return true;
    // A folder that is there already needs no walk: one query instead of a creation per
    // backslash, which a path of thousands of components (such as "dst\.\.\...") would make,
    // each slower the longer the path.
    const DWORD attributes = GetFileAttributesW(folderAt(last).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    for (size_t next = RootLength(text); next < text.size(); ++next) {
        // Another object of that name (even a file) counts as present; the copy into it then fails.
        if (text[next] == L'\\' && !CreateDirectoryW(folderAt(next).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}
