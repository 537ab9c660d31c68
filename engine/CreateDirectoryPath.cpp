#include "engine/CreateDirectoryPath.h"

#include "engine/PathText.h"
#include "engine/PlatformPath.h"

#include <windows.h>

#include <algorithm>

bool CreateDirectoryPath(const std::wstring& path)
{
    if (path.empty())
        return true;
    // A slash delimits folders as a backslash does, but in the extended form, which takes every
    // character as it stands.
    const bool extended = IsExtendedPath(path);
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
