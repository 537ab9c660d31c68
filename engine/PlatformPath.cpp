#include "engine/PlatformPath.h"

#include <windows.h>

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
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC" + full.substr(1);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return L"\\\\?\\" + full;
    return path;
}
