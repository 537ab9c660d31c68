#include "tests/driver/WindowsRefusals.h"

#include "tests/driver/ImportPatch.h"

#include <cwchar>
#include <stdexcept>

namespace {

// The folders that refuse listing, by key; set while an object exists.
std::vector<std::wstring> unlistableKeys;

// The full form of a path as the platform resolves it, with the extended prefix taken off; its
// own code, apart from the product's, so that a fault there cannot hide itself.
std::wstring FullForm(const wchar_t* path)
{
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
        const bool fits = length < full.size();
        full.resize(length);
        if (fits)
            break;
    }
    if (full.starts_with(L"\\\\?\\UNC\\"))
        return L"\\" + full.substr(7);
    return full.starts_with(L"\\\\?\\") ? full.substr(4) : full;
}

std::wstring Key(const wchar_t* path)
{
    std::wstring key = FullForm(path);
    while (key.size() > 3 && key.back() == L'\\')
        key.pop_back();
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

bool IsPlain(const wchar_t* path)
{
    return path != nullptr && std::wcsncmp(path, L"\\\\?\\", 4) != 0 && std::wcsncmp(path, L"\\\\.\\", 4) != 0;
}

// Whether Windows refuses the path as too long: a plain path whose full form has `limit` or more
// characters. The last error is set when it does.
bool TooLong(const wchar_t* path, size_t limit = MAX_PATH, DWORD error = ERROR_PATH_NOT_FOUND)
{
    if (!IsPlain(path) || FullForm(path).size() < limit)
        return false;
    SetLastError(error);
    return true;
}

bool Unlistable(const wchar_t* pattern)
{
    const std::wstring key = Key(pattern);
    const std::wstring folder = key.substr(0, key.rfind(L'\\'));
    for (const std::wstring& refusing : unlistableKeys) {
        if (folder == refusing) {
            SetLastError(ERROR_ACCESS_DENIED);
            return true;
        }
    }
    return false;
}

// The function that each call covered went to before it was patched: the real one, or a probe's
// own that has patched it first and goes on to the real one.
decltype(&CreateDirectoryW) nextCreateDirectoryW;
decltype(&CreateFileW) nextCreateFileW;
decltype(&CopyFileW) nextCopyFileW;
decltype(&DeleteFileW) nextDeleteFileW;
decltype(&SetFileAttributesW) nextSetFileAttributesW;
decltype(&GetFileAttributesW) nextGetFileAttributesW;
decltype(&FindFirstFileW) nextFindFirstFileW;
decltype(&SetCurrentDirectoryW) nextSetCurrentDirectoryW;

BOOL WINAPI RefusingCreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security)
{
    if (TooLong(path) || TooLong(path, 248, ERROR_FILENAME_EXCED_RANGE))
        return FALSE;
    return nextCreateDirectoryW(path, security);
}

HANDLE WINAPI RefusingCreateFileW(LPCWSTR path, DWORD access, DWORD sharing, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE pattern)
{
    if (TooLong(path))
        return INVALID_HANDLE_VALUE;
    return nextCreateFileW(path, access, sharing, security, disposition, flags, pattern);
}

BOOL WINAPI RefusingCopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists)
{
    if (TooLong(from) || TooLong(to))
        return FALSE;
    return nextCopyFileW(from, to, failIfExists);
}

BOOL WINAPI RefusingDeleteFileW(LPCWSTR path)
{
    if (TooLong(path))
        return FALSE;
    return nextDeleteFileW(path);
}

BOOL WINAPI RefusingSetFileAttributesW(LPCWSTR path, DWORD attributes)
{
    if (TooLong(path))
        return FALSE;
    return nextSetFileAttributesW(path, attributes);
}

DWORD WINAPI RefusingGetFileAttributesW(LPCWSTR path)
{
    if (TooLong(path))
        return INVALID_FILE_ATTRIBUTES;
    return nextGetFileAttributesW(path);
}

HANDLE WINAPI RefusingFindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data)
{
    if (TooLong(pattern) || Unlistable(pattern))
        return INVALID_HANDLE_VALUE;
    return nextFindFirstFileW(pattern, data);
}

// Windows keeps the current directory and a backslash behind it in MAX_PATH characters.
BOOL WINAPI RefusingSetCurrentDirectoryW(LPCWSTR path)
{
    std::wstring full = FullForm(path);
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    if (full.size() >= MAX_PATH - 1) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    return nextSetCurrentDirectoryW(path);
}

struct Replacement {
    const char* name;
    void* function;
    void** next;
};

const Replacement replacements[] = {
    {"CreateDirectoryW", reinterpret_cast<void*>(&RefusingCreateDirectoryW),
     reinterpret_cast<void**>(&nextCreateDirectoryW)},
    {"CreateFileW", reinterpret_cast<void*>(&RefusingCreateFileW), reinterpret_cast<void**>(&nextCreateFileW)},
    {"CopyFileW", reinterpret_cast<void*>(&RefusingCopyFileW), reinterpret_cast<void**>(&nextCopyFileW)},
    {"DeleteFileW", reinterpret_cast<void*>(&RefusingDeleteFileW), reinterpret_cast<void**>(&nextDeleteFileW)},
    {"SetFileAttributesW", reinterpret_cast<void*>(&RefusingSetFileAttributesW),
     reinterpret_cast<void**>(&nextSetFileAttributesW)},
    {"GetFileAttributesW", reinterpret_cast<void*>(&RefusingGetFileAttributesW),
     reinterpret_cast<void**>(&nextGetFileAttributesW)},
    {"FindFirstFileW", reinterpret_cast<void*>(&RefusingFindFirstFileW), reinterpret_cast<void**>(&nextFindFirstFileW)},
    {"SetCurrentDirectoryW", reinterpret_cast<void*>(&RefusingSetCurrentDirectoryW),
     reinterpret_cast<void**>(&nextSetCurrentDirectoryW)},
};

} // namespace

WindowsRefusals::WindowsRefusals(const std::vector<std::wstring>& unlistable, HMODULE module)
    : module(module != nullptr ? module : GetModuleHandleW(nullptr))
{
    for (const std::wstring& folder : unlistable)
        unlistableKeys.push_back(Key(folder.c_str()));
    for (size_t index = 0; index < std::size(replacements); ++index) {
        const Replacement& replacement = replacements[index];
        if (PatchImport(this->module, "kernel32.dll", replacement.name, replacement.function, replacement.next))
            patched.push_back(index);
    }
    if (patched.size() != std::size(replacements)) {
        Restore();
        throw std::runtime_error("the module does not import every file call that WindowsRefusals covers");
    }
}

WindowsRefusals::~WindowsRefusals()
{
    Restore();
}

void WindowsRefusals::Restore()
{
    for (const size_t index : patched) {
        void* ours = nullptr;
        PatchImport(module, "kernel32.dll", replacements[index].name, *replacements[index].next, &ours);
    }
    patched.clear();
    unlistableKeys.clear();
}
