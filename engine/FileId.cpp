#include "engine/FileId.h"

std::optional<FileId> ReadFileId(HANDLE opened)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(opened, &info))
        return std::nullopt;
    return FileId{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::optional<FileId> ReadFileId(const std::wstring& path)
{
    // No access asked for: reading the identity needs none, and no other program is hindered.
    const HANDLE opened = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const std::optional<FileId> id = ReadFileId(opened);
    CloseHandle(opened);
    return id;
}
