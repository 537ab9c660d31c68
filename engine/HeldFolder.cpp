#include "engine/HeldFolder.h"

bool HeldFolder::IsAsListed(const FileLister& listing, std::uint32_t folder)
{
    if (held == folder)
        return asListed;
    held = folder;
    const FileLister::Folder& listed = listing.Folders[folder];
    handle = FileHandle(CreateFileW(listed.path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    // The identity is read while the handle holds the folder, so that no other can take its id.
    asListed = handle.IsOpen() && ReadFileId(handle.Get()) == listed.id;
    return asListed;
}
