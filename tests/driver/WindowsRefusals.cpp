#include "tests/driver/WindowsRefusals.h"

#include "tests/driver/ImportPatch.h"

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <stdexcept>

namespace {

// The folders that refuse listing, by key, and the folders that carry the hidden and the system
// attribute and the identity folder, by the key of their final paths; set while an object exists.
std::vector<std::wstring> unlistableKeys;
std::vector<std::wstring> hiddenSystemKeys;
std::wstring identityKey;
WindowsRefusals::Identity identity = WindowsRefusals::Identity::Same;

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

// A path as compared here: without trailing backslashes but a root's, in upper case.
std::wstring Folded(std::wstring key)
{
    while (key.size() > 3 && key.back() == L'\\')
        key.pop_back();
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

std::wstring Key(const wchar_t* path)
{
    return Folded(FullForm(path));
}

// The key of a name in a folder known by its key.
std::wstring Below(const std::wstring& folderKey, const std::wstring& name)
{
    return Folded((folderKey.ends_with(L'\\') ? folderKey : folderKey + L'\\') + name);
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

// Whether the folder refuses listing; the last error is set when it does.
bool RefusesListing(const std::wstring& folderKey)
{
    for (const std::wstring& refusing : unlistableKeys) {
        if (folderKey == refusing) {
            SetLastError(ERROR_ACCESS_DENIED);
            return true;
        }
    }
    return false;
}

bool Unlistable(const wchar_t* pattern)
{
    const std::wstring key = Key(pattern);
    return RefusesListing(key.substr(0, key.rfind(L'\\')));
}

// The function that each call covered went to before it was patched: the real one, or a probe's
// own that has patched it first and goes on to the real one. The harness's own calls go there too,
// never to a patched entry.
decltype(&CreateDirectoryW) nextCreateDirectoryW;
decltype(&CreateFileW) nextCreateFileW;
decltype(&CopyFileW) nextCopyFileW;
decltype(&DeleteFileW) nextDeleteFileW;
decltype(&SetFileAttributesW) nextSetFileAttributesW;
decltype(&GetFileAttributesW) nextGetFileAttributesW;
decltype(&FindFirstFileW) nextFindFirstFileW;
decltype(&SetCurrentDirectoryW) nextSetCurrentDirectoryW;
decltype(&GetFileInformationByHandleEx) nextGetFileInformationByHandleEx;
decltype(&GetFileInformationByHandle) nextGetFileInformationByHandle;
decltype(&MoveFileExW) nextMoveFileExW;

// The key of the path by which the platform reaches the open file in the end; empty when it
// cannot tell.
std::wstring FinalKey(HANDLE opened)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(opened, path.data(), static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return {};
        const bool fits = length < path.size();
        path.resize(length);
        if (fits)
            return Key(path.c_str());
    }
}

// The same for what the path names itself, a link rather than where it leads; empty when it cannot
// be opened.
std::wstring FinalKey(const wchar_t* path)
{
    constexpr DWORD everyone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE opened = nextCreateFileW(path, FILE_READ_ATTRIBUTES, everyone, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return {};
    std::wstring key = FinalKey(opened);
    CloseHandle(opened);
    return key;
}

bool IsHiddenSystem(const std::wstring& key)
{
    for (const std::wstring& folder : hiddenSystemKeys) {
        if (key == folder)
            return true;
    }
    return false;
}

bool InIdentityFolder(const std::wstring& key)
{
    return !identityKey.empty() && key.starts_with(identityKey) &&
           (key.size() == identityKey.size() || identityKey.ends_with(L'\\') || key[identityKey.size()] == L'\\');
}

// The identity that the mode gives; Same keeps a 64-bit id whose 128-bit form is that id widened,
// as on NTFS, so that a listing and an open handle agree.
constexpr std::uint64_t sameFileId = 0x0000004200000042;
constexpr DWORD sameVolume = 0x42424242;

std::uint64_t ModeFileId()
{
    return identity == WindowsRefusals::Identity::Same ? sameFileId
           : identity == WindowsRefusals::Identity::Zero ? 0
                                                         : ~std::uint64_t{0};
}

void SetFileId(LARGE_INTEGER& id)
{
    id.QuadPart = static_cast<LONGLONG>(ModeFileId());
}

// The 128-bit id: the 64-bit one in its low half, and a high half of 0, or of all ones for AllOnes.
void SetFileId(FILE_ID_128& id)
{
    const std::uint64_t low = ModeFileId();
    const std::uint64_t high = identity == WindowsRefusals::Identity::AllOnes ? low : 0;
    std::memcpy(id.Identifier, &low, sizeof low);
    std::memcpy(id.Identifier + sizeof low, &high, sizeof high);
}

// Adds the attributes and sets the identities of the entries of one batch of a listing.
template <typename Info>
void AlterListing(const std::wstring& folderKey, void* batch)
{
    for (auto* at = static_cast<char*>(batch);;) {
        auto& info = *reinterpret_cast<Info*>(at);
        const std::wstring name(info.FileName, info.FileNameLength / sizeof(wchar_t));
        if (name != L"." && name != L"..") {
            const std::wstring key = Below(folderKey, name);
            if (IsHiddenSystem(key))
                info.FileAttributes |= FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
            if (InIdentityFolder(key))
                SetFileId(info.FileId);
        }
        if (info.NextEntryOffset == 0)
            return;
        at += info.NextEntryOffset;
    }
}

// Whether a handle other than the caller's holds the file open: an open that shares nothing fails
// with a sharing violation while any other handle with read, write or delete access is open on it
// (Windows and Wine alike). A handle with only attribute or synchronize access takes no part in
// sharing, and so goes unseen.
bool HeldByAnotherHandle(LPCWSTR path)
{
    const HANDLE alone =
        nextCreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (alone != INVALID_HANDLE_VALUE) {
        CloseHandle(alone);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

BOOL WINAPI RefusingCreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security)
{
    if (TooLong(path) || TooLong(path, 248, ERROR_FILENAME_EXCED_RANGE))
        return FALSE;
    return nextCreateDirectoryW(path, security);
}

HANDLE WINAPI RefusingCreateFileW(LPCWSTR path, DWORD access, DWORD sharing, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE pattern)
{
    // A folder opened to read its entries is refused as a search in it is.
    const bool listing = (access & FILE_LIST_DIRECTORY) && (flags & FILE_FLAG_BACKUP_SEMANTICS);
    if (TooLong(path) || (listing && RefusesListing(Key(path))))
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
    const DWORD attributes = nextGetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) && !hiddenSystemKeys.empty() &&
        IsHiddenSystem(FinalKey(path)))
        return attributes | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes;
}

HANDLE WINAPI RefusingFindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data)
{
    if (TooLong(pattern) || Unlistable(pattern))
        return INVALID_HANDLE_VALUE;
    const HANDLE search = nextFindFirstFileW(pattern, data);
    if (search != INVALID_HANDLE_VALUE && (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !hiddenSystemKeys.empty()) {
        const std::wstring text = pattern;
        const size_t folderEnd = text.find_last_of(L"\\/");
        const std::wstring folder = folderEnd == std::wstring::npos ? L"" : text.substr(0, folderEnd + 1);
        const std::wstring entry = folder + data->cFileName;
        if (IsHiddenSystem(FinalKey(entry.c_str())))
            data->dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    }
    return search;
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

BOOL WINAPI RefusingGetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information,
                                                 DWORD size)
{
    if (!nextGetFileInformationByHandleEx(file, kind, information, size))
        return FALSE;
    if (hiddenSystemKeys.empty() && identityKey.empty())
        return TRUE;
    switch (kind) {
    case FileIdInfo:
        if (InIdentityFolder(FinalKey(file))) {
            auto* id = static_cast<FILE_ID_INFO*>(information);
            if (identity == WindowsRefusals::Identity::Same)
                id->VolumeSerialNumber = sameVolume;
            SetFileId(id->FileId);
        }
        break;
    case FileIdBothDirectoryInfo:
    case FileIdBothDirectoryRestartInfo:
        AlterListing<FILE_ID_BOTH_DIR_INFO>(FinalKey(file), information);
        break;
    case FileIdExtdDirectoryInfo:
    case FileIdExtdDirectoryRestartInfo:
        AlterListing<FILE_ID_EXTD_DIR_INFO>(FinalKey(file), information);
        break;
    default:
        break;
    }
    return TRUE;
}

BOOL WINAPI RefusingGetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information)
{
    if (!nextGetFileInformationByHandle(file, information))
        return FALSE;
    if (hiddenSystemKeys.empty() && identityKey.empty())
        return TRUE;
    const std::wstring key = FinalKey(file);
    if ((information->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsHiddenSystem(key))
        information->dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (InIdentityFolder(key)) {
        if (identity == WindowsRefusals::Identity::Same)
            information->dwVolumeSerialNumber = sameVolume;
        information->nFileIndexHigh = static_cast<DWORD>(ModeFileId() >> 32);
        information->nFileIndexLow = static_cast<DWORD>(ModeFileId());
    }
    return TRUE;
}

BOOL WINAPI RefusingMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    if (TooLong(from) || TooLong(to))
        return FALSE;
    if ((flags & MOVEFILE_REPLACE_EXISTING) && to != nullptr && HeldByAnotherHandle(to)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return nextMoveFileExW(from, to, flags);
}

struct Replacement {
    const char* name;
    void* function;
    void** next;
    bool always = true; // imported by every module that lists and copies, and so required
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
    {"GetFileInformationByHandleEx", reinterpret_cast<void*>(&RefusingGetFileInformationByHandleEx),
     reinterpret_cast<void**>(&nextGetFileInformationByHandleEx)},
    {"GetFileInformationByHandle", reinterpret_cast<void*>(&RefusingGetFileInformationByHandle),
     reinterpret_cast<void**>(&nextGetFileInformationByHandle)},
    // Only a module that copies renames; one that does not import it never calls it.
    {"MoveFileExW", reinterpret_cast<void*>(&RefusingMoveFileExW), reinterpret_cast<void**>(&nextMoveFileExW), false},
};

} // namespace

WindowsRefusals::WindowsRefusals(const std::vector<std::wstring>& unlistable, HMODULE module)
    : WindowsRefusals(Options{.unlistable = unlistable}, module)
{
}

WindowsRefusals::WindowsRefusals(const Options& options, HMODULE module)
    : module(module != nullptr ? module : GetModuleHandleW(nullptr))
{
    for (const std::wstring& folder : options.unlistable)
        unlistableKeys.push_back(Key(folder.c_str()));
    bool everyCall = true;
    for (size_t index = 0; index < std::size(replacements); ++index) {
        const Replacement& replacement = replacements[index];
        if (PatchImport(this->module, "kernel32.dll", replacement.name, replacement.function, replacement.next))
            patched.push_back(index);
        else
            everyCall = everyCall && !replacement.always;
    }
    if (!everyCall) {
        Restore();
        throw std::runtime_error("the module does not import every file call that WindowsRefusals covers");
    }
    // Opened through the next functions, which are set now.
    bool opened = true;
    for (const std::wstring& folder : options.hiddenSystem) {
        hiddenSystemKeys.push_back(FinalKey(folder.c_str()));
        opened = opened && !hiddenSystemKeys.back().empty();
    }
    if (!options.identityFolder.empty()) {
        identityKey = FinalKey(options.identityFolder.c_str());
        opened = opened && !identityKey.empty();
    }
    identity = options.identity;
    if (!opened) {
        Restore();
        throw std::runtime_error("a folder named to WindowsRefusals cannot be opened");
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
    hiddenSystemKeys.clear();
    identityKey.clear();
}
