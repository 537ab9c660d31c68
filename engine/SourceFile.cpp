#include "engine/SourceFile.h"

#include "engine/CopyToTarget.h"

#include <atomic>

namespace {

// Windows 10's information class of the deletion that takes the name at once (21); MinGW's headers
// name it only for a _WIN32_WINNT of 0x0A000002 or more, past every value that the macro takes.
constexpr auto dispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);

// Both handles open a link itself, as DeleteFileW does, never the file it points to.
constexpr DWORD openFlags = FILE_FLAG_OPEN_REPARSE_POINT;

// Windows before 10 (1809) and Wine do not delete at once nor past the read-only mark; once
// refused, the classic deletion serves.
std::atomic<bool> extendedDeletionRefused = false;

bool SetDeletion(HANDLE file)
{
    FILE_DISPOSITION_INFO deletion{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &deletion, sizeof deletion) != FALSE;
}

bool SetAttributes(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO basic{}; // the zero times are left as they are
    basic.FileAttributes = attributes;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// Marks the open file for deletion. Where the platform has it, the name goes when this handle
// closes, whoever else holds the file, and a read-only file goes as it is. Elsewhere a read-only
// file has its marks cleared for a second attempt, and put back when that does not help either.
bool MarkForDeletion(HANDLE file)
{
    if (!extendedDeletionRefused.load(std::memory_order_relaxed)) {
        FILE_DISPOSITION_INFO_EX deletion{FILE_DISPOSITION_FLAG_DELETE | FILE_DISPOSITION_FLAG_POSIX_SEMANTICS |
                                          FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE};
        if (SetFileInformationByHandle(file, dispositionInfoEx, &deletion, sizeof deletion))
            return true;
        if (!IsClassRefusal(GetLastError()))
            return false;
        extendedDeletionRefused.store(true, std::memory_order_relaxed);
    }
    if (SetDeletion(file))
        return true;
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
        !(basic.FileAttributes & FILE_ATTRIBUTE_READONLY) || !SetAttributes(file, FILE_ATTRIBUTE_NORMAL))
        return false;
    if (SetDeletion(file))
        return true;
    SetAttributes(file, basic.FileAttributes);
    return false;
}

// Whether nothing is there under the path any more. Windows refuses to open a file whose deletion
// is pending, and that name is still there.
bool NameIsGone(const std::wstring& path)
{
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

// The copy opens the source for reading too, sharing read and write access on Wine: sharing read
// access here lets it.
SourceFile::SourceFile(const std::wstring& path)
    : path(path), held(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, openFlags, nullptr))
{
    if (held.IsOpen())
        heldState = Read(held.Get());
}

std::optional<SourceFile::State> SourceFile::Read(HANDLE file)
{
    FILE_BASIC_INFO basic;
    FILE_STANDARD_INFO standard;
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard))
        return std::nullopt;
    return State{ReadFileId(file), standard.EndOfFile, basic.LastWriteTime};
}

SourceFile::Deletion SourceFile::DeleteIfCopiedTo(const std::wstring& target)
{
    WIN32_FIND_DATAW copied;
    if (!heldState || WhatPathReaches(target, copied) != Reached::ItsOwnName ||
        copied.nFileSizeHigh != static_cast<DWORD>(heldState->size.QuadPart >> 32) ||
        copied.nFileSizeLow != static_cast<DWORD>(heldState->size.QuadPart))
        return Deletion::Kept;
    // Shares read access with the held handle and is shared with it for deletion; writing stays
    // refused to everyone.
    FileHandle file(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, openFlags, nullptr));
    if (!file.IsOpen())
        return Deletion::Kept;
    const std::optional<State> now = Read(file.Get());
    if (!now || now->id != heldState->id || now->size.QuadPart != heldState->size.QuadPart ||
        now->lastWrite.QuadPart != heldState->lastWrite.QuadPart)
        return Deletion::Changed;
    if (!MarkForDeletion(file.Get()))
        return Deletion::Kept;
    // The file goes when its last handle closes; another program's handle keeps its name meanwhile.
    file.Close();
    held.Close();
    return NameIsGone(path) ? Deletion::Gone : Deletion::Pending;
}
