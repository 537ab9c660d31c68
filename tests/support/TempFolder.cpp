#include "tests/support/TempFolder.h"

#include "engine/FileId.h"
#include "engine/PlatformPath.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>

namespace {

std::wstring ParentOf(const std::wstring& path)
{
    const size_t last = path.find_last_of(L'\\');
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last);
}

void Fail(const char* what)
{
    throw std::runtime_error(std::string(what) + " failed with error " + std::to_string(GetLastError()));
}

} // namespace

// The Linux path of a Windows path under Wine; empty elsewhere.
std::wstring LinuxPath(const std::wstring& path)
{
    using UnixName = char* (*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName != nullptr ? unixName(path.c_str()) : nullptr;
    if (name == nullptr)
        return {};
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), static_cast<int>(wide.size()));
    wide.pop_back();
    HeapFree(GetProcessHeap(), 0, name);
    return wide;
}

// Starts a Linux program under Wine and waits until `done` holds, for at most 30 s, which only a
// fault reaches, also with every core busy: Wine gives no handle that can be waited on for such a
// program.
bool RunLinuxProgram(std::wstring command, const std::function<bool()>& done)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int attempt = 0; attempt < 3000; ++attempt) {
        if (done())
            return true;
        Sleep(10);
    }
    return false;
}

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, base) == 0)
        Fail("GetTempPathW");
    static unsigned sequence = 0;
    for (;;) {
        path = std::wstring(base) + L"ferrix-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(++sequence);
        if (CreateDirectoryW(path.c_str(), nullptr))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            Fail("CreateDirectoryW");
    }
}

TempFolder::~TempFolder()
{
    if (!shareLink.empty())
        RunLinuxProgram(L"/bin/rm \"" + shareLink + L"\"", [this] { return !FolderExists(share); });
    RemoveTree(path);
    // Wine lists no link whose target has gone, and then cannot remove it: the folder goes as
    // Linux removes folders. Left behind, such folders would crowd the temporary folder, where
    // Wine's invented short names then collide and GetShortPathNameW fails now and then.
    const std::wstring linuxPath = FolderExists(path) ? LinuxPath(path) : std::wstring();
    if (!linuxPath.empty())
        RunLinuxProgram(L"/bin/rm -rf \"" + linuxPath + L"\"", [this] { return !FolderExists(path); });
}

std::wstring TempFolder::Share()
{
    if (!share.empty())
        return share;
    wchar_t prefix[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        share = L"\\\\localhost\\" + path.substr(0, 1) + L"$" + path.substr(2);
    } else {
        const std::wstring name = path.substr(path.rfind(L'\\') + 1);
        const std::wstring server = std::wstring(prefix, length) + L"/dosdevices/unc/ferrix-test";
        share = L"\\\\ferrix-test\\" + name;
        shareLink = server + L"/" + name;
        RunLinuxProgram(L"/bin/sh -c \"mkdir -p '" + server + L"' && ln -s '" + LinuxPath(path) + L"' '" + shareLink +
                            L"'\"",
                        [this] { return FolderExists(share); });
    }
    if (!FolderExists(share))
        throw std::runtime_error("the share made for a temporary folder does not reach it");
    return share;
}

std::wstring TempDrive()
{
    static std::wstring drive;
    if (!drive.empty())
        return drive;
    wchar_t temp[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, temp) == 0)
        Fail("GetTempPathW");
    const TempFolder probe; // a folder that the drive must reach, below its root
    wchar_t prefix[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    for (const wchar_t letter : std::wstring(L"rstuvw")) {
        const std::wstring candidate = std::wstring(1, letter) + L":";
        // Both read anew: Wine may tell a folder's volume by the drive it last found it on.
        const auto reachesTemp = [&] {
            const std::optional<FileId> folder = ReadFileId(probe.Path());
            return folder && ReadFileId(candidate + probe.Path().substr(probe.Path().rfind(L'\\'))) == folder;
        };
        if (GetDriveTypeW((candidate + L"\\").c_str()) == DRIVE_NO_ROOT_DIR) {
            if (length == 0 || length >= MAX_PATH)
                DefineDosDeviceW(0, candidate.c_str(), temp);
            else // "ln" makes no link where another process has made one first
                RunLinuxProgram(L"/bin/ln -s \"" + LinuxPath(temp) + L"\" \"" + std::wstring(prefix, length) +
                                    L"/dosdevices/" + candidate + L"\"",
                                reachesTemp);
        }
        if (reachesTemp())
            return drive = candidate;
    }
    throw std::runtime_error("no free drive letter reaches the temporary folder");
}

void WriteFileBytes(const std::wstring& file, const std::string& bytes)
{
    MakeFolders(ParentOf(file));
    HANDLE handle = CreateFileW(PlatformPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        Fail("CreateFileW");
    DWORD written = 0;
    const BOOL ok = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(handle);
    if (!ok || written != bytes.size())
        Fail("WriteFile");
}

std::string ReadFileBytes(const std::wstring& file)
{
    HANDLE handle = CreateFileW(PlatformPath(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        Fail("CreateFileW");
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(handle, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(handle);
    return bytes;
}

bool FileExists(const std::wstring& file)
{
    const DWORD attributes = GetFileAttributesW(PlatformPath(file).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& folder)
{
    const DWORD attributes = GetFileAttributesW(PlatformPath(folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFolders(const std::wstring& folder)
{
    if (folder.empty() || FolderExists(folder))
        return;
    MakeFolders(ParentOf(folder));
    if (!CreateDirectoryW(PlatformPath(folder, plainFolderLimit).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
        Fail("CreateDirectoryW");
}

void RemoveTree(const std::wstring& path)
{
    // Every name as it stands, one that ends in a dot or a blank or is a device's too.
    const std::wstring platform = LiteralPath(CurrentDirectory(), path);
    const DWORD attributes = GetFileAttributesW(platform.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(platform.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(platform.c_str());
        return;
    }
    // A folder link is removed as a link; its target is left alone.
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW data;
        HANDLE search = FindFirstFileW((platform + L"\\*").c_str(), &data);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name != L"." && name != L"..")
                    RemoveTree(path + L"\\" + name);
            } while (FindNextFileW(search, &data));
            FindClose(search);
        }
    }
    // Under Wine a folder link is a Linux symbolic link, which neither RemoveDirectoryW nor
    // DeleteFileW removes.
    if (!RemoveDirectoryW(platform.c_str()) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        const std::wstring linuxLink = LinuxPath(path);
        if (!linuxLink.empty())
            RunLinuxProgram(L"/bin/rm \"" + linuxLink + L"\"",
                            [&path] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; });
    }
}

CurrentDirectoryScope::CurrentDirectoryScope(const std::wstring& folder)
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    previous.resize(size);
    previous.resize(GetCurrentDirectoryW(size, previous.data()));
    if (!SetCurrentDirectoryW(folder.c_str()))
        Fail("SetCurrentDirectoryW");
}

CurrentDirectoryScope::~CurrentDirectoryScope()
{
    SetCurrentDirectoryW(previous.c_str());
}

bool MakeFolderLink(const std::wstring& link, const std::wstring& target)
{
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && FolderExists(link))
        return true;
    const std::wstring linuxLink = LinuxPath(link);
    if (linuxLink.empty())
        return false;
    std::wstring linuxTarget = target;
    std::replace(linuxTarget.begin(), linuxTarget.end(), L'\\', L'/');
    return RunLinuxProgram(L"/bin/ln -s \"" + linuxTarget + L"\" \"" + linuxLink + L"\"",
                           [&link] { return FolderExists(link); });
}
