#include "engine/PlatformPath.h"

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

std::wstring PlatformPath(const std::wstring& path, size_t limit)
{
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return path;
    const std::wstring full = FullPath(path);
    if (full.size() < limit || full.starts_with(L"\\\\.\\")) // a device name such as "NUL" resolves to one
        return path;
    const std::wstring extended = ExtendedPath(full);
    return extended.empty() ? path : extended;
}

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

std::wstring ExtendedPath(const std::wstring& full)
{
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\"))
        return full;
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC" + full.substr(1);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return L"\\\\?\\" + full;
    return {};
}

std::wstring LiteralPath(const std::wstring& base, const std::wstring& path)
{
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
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
    if (start.empty())
        return {};
    if (!start.ends_with(L'\\'))
        start += L'\\';
    // The root stays; every name after it is taken as it is, "." and ".." aside.
    const size_t top = RootLength(start);
    for (size_t from = 0; from <= rest.size();) {
        const size_t end = std::min(rest.find(L'\\', from), rest.size());
        const std::wstring name = rest.substr(from, end - from);
        if (name == L".." && start.size() > top) {
            start.pop_back();
            start.resize(start.rfind(L'\\') + 1);
        } else if (!name.empty() && name != L"." && name != L"..") {
            start += name + L'\\';
        }
        from = end + 1;
    }
    if (start.size() > top)
        start.pop_back();
    return start;
}
