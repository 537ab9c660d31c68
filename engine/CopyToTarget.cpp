#include "engine/CopyToTarget.h"

#include "engine/FileHandle.h"
#include "engine/FindHandle.h"
#include "engine/NameFold.h"
#include "engine/PathText.h"
#include "engine/PlatformPath.h"

#include <atomic>
#include <vector>

namespace {

using Reason = RunReport::Reason;

// Windows 10's information class of the rename that may go ahead over an open target (22); MinGW's
// headers name it only for a _WIN32_WINNT of 0x0A000002 or more, past every value that the macro takes.
constexpr auto renameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);

// Windows before 10 (1809) and Wine have no rename that goes ahead while another program holds
// the target open; once refused, MoveFileExW serves.
std::atomic<bool> extendedRenameRefused = false;

// Why a copy to a new name failed, as far as the error tells.
Reason Classify(DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Reason::DiskFull;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME:
        return Reason::NameTooLong;
    case ERROR_PATH_NOT_FOUND:
        return Reason::FolderNotMade;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_INVALID_PARAMETER: // a pipe, which has no content to copy
        return Reason::SourceUnreadable;
    default:
        return Reason::CopyFailed;
    }
}

// Why renaming the whole copy to the target failed: never the source's doing.
Reason ClassifyRename(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Reason::TargetInUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Reason::DiskFull;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILE_NOT_FOUND: // Wine: a name longer than its file system takes
    case ERROR_PATH_NOT_FOUND:
        return Reason::NameTooLong;
    default:
        return Reason::CopyFailed;
    }
}

// Deletes a file that this run made; a read-only one at the second attempt.
void RemoveOwnFile(const std::wstring& path)
{
    if (DeleteFileW(path.c_str()))
        return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL); // the second deletion tells whether it helped
    DeleteFileW(path.c_str());
}

// Copies the source whole to a name in the folder that nothing holds, made as new, and puts that
// name into `partial`. A name that is there already (a leftover of a run that was ended, one that
// could not be removed) fails the copy before anything is written, and the next name is tried.
// A copy that fails part way, on a full volume for one, leaves its partial output, which is this
// copy's own and is deleted so that it gives its room back; Windows deletes it itself, Wine does
// not.
std::optional<Reason> CopyToNewName(const std::wstring& source, const std::wstring& folder, std::wstring& partial)
{
    static unsigned next = 0; // names already found taken; only the worker's thread copies
    const std::wstring stem = folder + L"~ferrix-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (unsigned tries = 0; tries < 10000; ++tries) {
        partial = PlatformPath(stem + std::to_wstring(next) + L".tmp");
        if (CopyFileW(source.c_str(), partial.c_str(), TRUE))
            return std::nullopt;
        const DWORD error = GetLastError();
        // A folder of that name answers as a refusal.
        const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                           (error == ERROR_ACCESS_DENIED && GetFileAttributesW(partial.c_str()) != INVALID_FILE_ATTRIBUTES);
        if (!taken) {
            RemoveOwnFile(partial);
            return Classify(error);
        }
        ++next;
    }
    return Reason::CopyFailed;
}

// Renames the whole copy to the target; over an existing target only when `replace`. Where the
// platform has it, the rename goes ahead while other programs hold the target open (as the search
// indexer, a picture viewer or a virus scanner do), which a plain rename over it is refused; once
// the platform refuses that class, MoveFileExW serves. The target's full path goes in either way:
// the platform reads a bare name relative to the current directory, not to the file's folder.
bool Rename(const std::wstring& partial, const std::wstring& target, bool replace)
{
    if (!extendedRenameRefused.load(std::memory_order_relaxed)) {
        const FileHandle file(CreateFileW(partial.c_str(), DELETE | SYNCHRONIZE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (file.IsOpen()) {
            std::vector<std::uint64_t> buffer((sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t)) / 8 + 1);
            auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
            rename->Flags = FILE_RENAME_FLAG_POSIX_SEMANTICS | (replace ? FILE_RENAME_FLAG_REPLACE_IF_EXISTS : 0);
            rename->RootDirectory = nullptr;
            rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
            target.copy(rename->FileName, target.size());
            rename->FileName[target.size()] = L'\0';
            if (SetFileInformationByHandle(file.Get(), renameInfoEx, rename,
                                           static_cast<DWORD>(buffer.size() * sizeof buffer[0])))
                return true;
            const DWORD error = GetLastError();
            if (!IsClassRefusal(error)) {
                SetLastError(error);
                return false;
            }
            extendedRenameRefused.store(true, std::memory_order_relaxed);
        }
    }
    return MoveFileExW(partial.c_str(), target.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != FALSE;
}

} // namespace

Reached WhatPathReaches(const std::wstring& path, WIN32_FIND_DATAW& found)
{
    const std::wstring platform = PlatformPath(path);
    if (GetFileAttributesW(platform.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Reached::Nothing;
    const FindHandle search(platform, found);
    if (!search.IsOpen())
        return Reached::AnotherName;
    return SameName(LastName(path), found.cFileName) ? Reached::ItsOwnName : Reached::AnotherName;
}

// A new target, the usual case, takes the copy's name with the first rename, which fails where
// the name is there; only then is the target looked at, and replaced when it is a file of its own
// name that is not read-only (the outcome of an overwriting copy on Windows).
std::optional<Reason> CopyToTarget(const std::wstring& source, const std::wstring& target)
{
    std::wstring partial;
    if (const std::optional<Reason> failed = CopyToNewName(source, FolderPart(target), partial))
        return failed;
    const std::wstring to = PlatformPath(target);
    if (Rename(partial, to, false))
        return std::nullopt;
    DWORD error = GetLastError();
    std::optional<Reason> refused;
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        WIN32_FIND_DATAW found;
        const Reached reached = WhatPathReaches(target, found);
        if (reached == Reached::AnotherName)
            refused = Reason::TargetHasOtherName;
        else if (reached == Reached::ItsOwnName && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            refused = Reason::TargetIsFolder;
        else if (reached == Reached::ItsOwnName && (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
            refused = Reason::ReadOnlyTarget;
        else if (Rename(partial, to, true))
            return std::nullopt;
        else
            error = GetLastError();
    }
    if (!refused)
        refused = ClassifyRename(error);
    RemoveOwnFile(partial);
    return refused;
}
