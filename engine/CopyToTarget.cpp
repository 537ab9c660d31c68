#include "engine/CopyToTarget.h"

#include "engine/PlatformPath.h"

namespace {

// Deletes a file that this run made; a read-only one at the second attempt.
void RemoveOwnFile(const std::wstring& path)
{
    if (DeleteFileW(path.c_str()))
        return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL); // the second deletion tells whether it helped
    DeleteFileW(path.c_str());
}

// Copies onto a name that nothing holds. When the volume fills up, the partial output is deleted,
// so that it gives its room back and no half file stays under the name. That output is this copy's
// own: a name that is there already fails the copy with ERROR_FILE_EXISTS before anything is
// written. Windows deletes a failed copy's output itself; Wine leaves it in place.
bool CopyToNewName(const std::wstring& source, const std::wstring& name)
{
    if (CopyFileW(source.c_str(), name.c_str(), TRUE))
        return true;
    const DWORD error = GetLastError();
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        RemoveOwnFile(name);
    return false;
}

} // namespace

Reached WhatPathReaches(const std::wstring& path, WIN32_FIND_DATAW& found)
{
    const std::wstring platform = PlatformPath(path);
    if (GetFileAttributesW(platform.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Reached::Nothing;
    const HANDLE search = FindFirstFileW(platform.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return Reached::AnotherName;
    FindClose(search);
    const wchar_t* name = path.c_str() + (path.find_last_of(L'\\') + 1); // the whole path when it has no backslash
    return CompareStringOrdinal(name, -1, found.cFileName, -1, TRUE) == CSTR_EQUAL ? Reached::ItsOwnName
                                                                                   : Reached::AnotherName;
}

// A new target, the usual case, is copied straight onto its name: that costs one lookup of the
// name, where a check beforehand would add one, and on Wine a lookup of a name that is not there
// reads the whole folder. A target that is there is replaced only by a whole copy: the copy goes
// to a name of this process's own in the target's folder (left behind only when the process is
// ended during the copy, and named so that a user can tell what it is) and is then renamed over
// the target.
bool CopyToTarget(const std::wstring& source, const std::wstring& target)
{
    const std::wstring to = PlatformPath(target);
    if (CopyToNewName(source, to))
        return true;
    WIN32_FIND_DATAW found;
    if (WhatPathReaches(target, found) != Reached::ItsOwnName || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const std::wstring partial = PlatformPath(target.substr(0, target.rfind(L'\\') + 1) + L"~ferrix-" +
                                              std::to_wstring(GetCurrentProcessId()) + L".tmp");
    if (!CopyToNewName(source, partial))
        return false;
    if (MoveFileExW(partial.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    RemoveOwnFile(partial);
    return false;
}
