#include "engine/PathText.h"

#include <algorithm>

bool IsExtendedPath(const std::wstring& path)
{
    return path.starts_with(L"\\\\?\\");
}

bool IsExtendedOrDevicePath(const std::wstring& path)
{
    return IsExtendedPath(path) || path.starts_with(L"\\\\.\\");
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
    if (IsExtendedPath(path))
        return behind(4, 1);
    if (path.starts_with(L"\\\\"))
        return behind(2, 2);
    if (path.starts_with(L"\\"))
        return 1;
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' ? 3 : 0;
}

bool IsFullPath(const std::wstring& text)
{
    const auto isDelimiter = [&](size_t at) { return at < text.size() && (text[at] == L'\\' || text[at] == L'/'); };
    return (isDelimiter(0) && isDelimiter(1)) || (text.size() > 1 && text[1] == L':' && isDelimiter(2));
}

bool IsBareDrive(const std::wstring& text)
{
    return text.size() == 2 && text[1] == L':' &&
           ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z'));
}

std::wstring FolderPart(const std::wstring& path)
{
    const size_t last = path.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

std::wstring LastName(const std::wstring& path)
{
    return path.substr(path.rfind(L'\\') + 1); // npos + 1 is 0: the whole path
}

std::wstring ExtendedPath(const std::wstring& full)
{
    if (IsExtendedOrDevicePath(full))
        return full;
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC" + full.substr(1);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return L"\\\\?\\" + full;
    return {};
}

std::wstring PlainPath(const std::wstring& path)
{
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return L"\\" + path.substr(7);
    return IsExtendedPath(path) ? path.substr(4) : path;
}

std::wstring AppendLiterally(std::wstring folder, const std::wstring& names)
{
    if (!folder.ends_with(L'\\'))
        folder += L'\\';
    const size_t top = RootLength(folder);
    for (size_t from = 0; from <= names.size();) {
        const size_t end = std::min(names.find(L'\\', from), names.size());
        const std::wstring name = names.substr(from, end - from);
        if (name == L"..") {
            if (folder.size() > top) {
                folder.pop_back();
                folder.resize(folder.rfind(L'\\') + 1);
            }
        } else if (!name.empty() && name != L".") {
            folder += name + L'\\';
        }
        from = end + 1;
    }
    if (folder.size() > top)
        folder.pop_back();
    return folder;
}
