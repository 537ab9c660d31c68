#include "engine/SourceFile.h"

#include "engine/CopyToTarget.h"

namespace {

// Both handles open a link itself, as DeleteFileW does, never the file it points to.
constexpr DWORD openFlags = FILE_FLAG_OPEN_REPARSE_POINT;

bool SameFileUnchanged(const BY_HANDLE_FILE_INFORMATION& now, const BY_HANDLE_FILE_INFORMATION& held)
{
    return now.dwVolumeSerialNumber == held.dwVolumeSerialNumber && now.nFileIndexHigh == held.nFileIndexHigh &&
           now.nFileIndexLow == held.nFileIndexLow && now.nFileSizeHigh == held.nFileSizeHigh &&
           now.nFileSizeLow == held.nFileSizeLow &&
           CompareFileTime(&now.ftLastWriteTime, &held.ftLastWriteTime) == 0;
}

bool MarkForDeletion(HANDLE file)
{
    FILE_DISPOSITION_INFO deletion{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &deletion, sizeof deletion) != FALSE;
}

} // namespace

// The copy opens the source for reading too, sharing read and write access on Wine: sharing read
// access here lets it.
SourceFile::SourceFile(const std::wstring& path)
    : path(path), held(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, openFlags, nullptr))
{
    if (held != INVALID_HANDLE_VALUE && !GetFileInformationByHandle(held, &heldInfo)) {
        CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
    }
}

SourceFile::~SourceFile()
{
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
}

bool SourceFile::DeleteIfCopiedTo(const std::wstring& target)
{
    WIN32_FIND_DATAW copied;
    if (held == INVALID_HANDLE_VALUE || WhatPathReaches(target, copied) != Reached::ItsOwnName ||
        copied.nFileSizeHigh != heldInfo.nFileSizeHigh || copied.nFileSizeLow != heldInfo.nFileSizeLow)
        return false;
    // Shares read access with the held handle and is shared with it for deletion; writing stays
    // refused to everyone.
    const HANDLE file = CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, openFlags, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION now;
    bool marked = GetFileInformationByHandle(file, &now) && SameFileUnchanged(now, heldInfo);
    if (marked && !MarkForDeletion(file)) {
        // A read-only file refuses deletion; the second attempt tells whether clearing it helped.
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL; // the zero times are left as they are
        SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
        marked = MarkForDeletion(file);
    }
    // The file goes when its last handle closes.
    CloseHandle(file);
    CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
    return marked;
}
