#include "engine/PlatformPath.h"

#include "engine/NameFold.h"
#include "engine/PathText.h"

#include <windows.h>

#include <algorithm>

std::wstring CurrentDirectory()
{
    // GetCurrentDirectoryW answers the size it needs, terminator included, when the buffer is too
    // small, and then fills in nothing usable.
    std::wstring folder;
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    while (size > folder.size()) {
        folder.resize(size);
        size = GetCurrentDirectoryW(size, folder.data());
    }
    folder.resize(size);
    return folder;
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH];
    DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, buffer, nullptr);
    if (length < MAX_PATH) // what fits, the usual case, costs no allocation beyond the answer
        return std::wstring(buffer, length);
    std::wstring full;
    while (length > full.size()) {
        full.resize(length); // `length` is the size needed, terminator included
        length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    }
    full.resize(length);
    return full;
}

std::wstring ComparablePath(const std::wstring& path)
{
    // The extended form is taken literally, also here: "\\?\C:\d." is not C:\d.
    std::wstring key = FoldName(PlainPath(IsExtendedOrDevicePath(path) ? path : FullPath(path)));
    while (key.size() > RootLength(key) && key.ends_with(L'\\'))
        key.pop_back();
    return key;
}

std::wstring PlatformPath(const std::wstring& path, size_t limit)
{
    if (IsExtendedOrDevicePath(path))
        return path;
    const std::wstring full = FullPath(path);
    if (full.size() < limit || IsExtendedOrDevicePath(full)) // a device name such as "NUL" resolves to one
        return path;
    const std::wstring extended = ExtendedPath(full);
    return extended.empty() ? path : extended;
}

std::wstring LiteralPath(const std::wstring& base, const std::wstring& path)
{
    if (IsExtendedOrDevicePath(path))
        return path;
    std::wstring rest = path;
    std::replace(rest.begin(), rest.end(), L'/', L'\\');
    // The extended form of the folder that `rest` goes on from.
    std::wstring start;
    const size_t root = RootLength(rest);
    if (root == 0 && rest.size() >= 2 && rest[1] == L':') {
        start = ExtendedPath(FullPath(rest.substr(0, 2))); // that drive's current folder
        rest.erase(0, 2);
    } else if (root == 1) {
        start = ExtendedPath(base); // the root of `base`
        start.resize(RootLength(start));
        rest.erase(0, 1);
    } else {
        start = ExtendedPath(root == 0 ? base : rest.substr(0, root));
        rest.erase(0, root);
    }
    return start.empty() ? std::wstring() : AppendLiterally(start, rest);
}
