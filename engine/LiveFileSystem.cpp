#include "engine/LiveFileSystem.h"

#include "engine/FileHandle.h"
#include "engine/PlatformPath.h"
#include "engine/SameFolder.h"

#include <windows.h>

FileSystemView::Reached LiveFileSystem::At(const std::wstring& path)
{
    const FileHandle opened(CreateFileW(PlatformPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (opened.IsOpen())
        return {true, ReadFileId(opened.Get())};
    // Only a name that is not there is missing; what refuses to open is there, of unknown identity.
    const DWORD error = GetLastError();
    return {error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_INVALID_NAME, {}};
}

bool LiveFileSystem::SameFolder(const std::wstring& writable, const std::wstring& other)
{
    return IsSameFolder(writable, other);
}
