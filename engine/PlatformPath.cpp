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

namespace {

// The length of the root that begins a full path in the extended form: "\\?\C:" or
// "\\?\UNC\server\share", without the backslash behind it.
size_t ExtendedRootLength(const std::wstring& path)
{
    if (!path.starts_with(L"\\\\?\\UNC\\"))
        return std::min<size_t>(path.size(), 6);
    const size_t share = path.find(L'\\', 8);
    const size_t end = share == std::wstring::npos ? std::wstring::npos : path.find(L'\\', share + 1);
    return end == std::wstring::npos ? path.size() : end;
}

} // namespace

std::wstring LiteralPath(const std::wstring& base, const std::wstring& path)
{
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return path;
    std::wstring rest = path;
    std::replace(rest.begin(), rest.end(), L'/', L'\\');
    std::wstring start; // the extended form of the folder that `rest` goes on from
    if (rest.starts_with(L"\\\\")) {
        // A share: its server and share name begin the path.
        size_t end = rest.find(L'\\', 2);
        end = end == std::wstring::npos ? std::wstring::npos : rest.find(L'\\', end + 1);
        start = ExtendedPath(rest.substr(0, end));
        rest = end == std::wstring::npos ? std::wstring() : rest.substr(end);
    } else if (rest.size() >= 2 && rest[1] == L':') {
        const bool rooted = rest.size() >= 3 && rest[2] == L'\\';
        start = ExtendedPath(rooted ? rest.substr(0, 3) : FullPath(rest.substr(0, 2)));
        rest = rest.substr(2);
    } else {
        start = ExtendedPath(base);
        if (rest.starts_with(L"\\"))
            start.resize(ExtendedRootLength(start));
    }
    if (start.empty())
        return {};
    // The root stays; every name after it is taken as it is, "." and ".." aside.
    const size_t root = ExtendedRootLength(start);
    while (start.size() > root && start.back() == L'\\')
        start.pop_back();
    size_t from = 0;
    while (from <= rest.size()) {
        size_t end = rest.find(L'\\', from);
        if (end == std::wstring::npos)
            end = rest.size();
        const std::wstring name = rest.substr(from, end - from);
        if (name == L"..") {
            const size_t last = start.rfind(L'\\');
            if (last != std::wstring::npos && last >= root)
                start.resize(last);
        } else if (!name.empty() && name != L".") {
            start += L'\\' + name;
        }
        from = end + 1;
    }
    return start.size() == root ? start + L'\\' : start;
}
