// The entries of one folder, read in one pass through an open handle with each entry's file id
// (GetFileInformationByHandleEx), in the platform's order. One read gives the listing both the
// files and the subfolders of a folder, and the ids of the subfolders without opening each of
// them. Owned by the listing for one folder; the handle stays open for the reader's life, so that
// on a drive that reuses ids no other folder can take this one's meanwhile.
#pragma once

#include "engine/FileHandle.h"
#include "engine/FileId.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FolderReader {
public:
    struct Entry {
        std::wstring name;
        DWORD attributes;
        std::optional<FileId> id; // none when unknown, or when the volume is
        bool operator==(const Entry&) const = default;
    };

    // Opens the folder for listing, as a directory search would.
    explicit FolderReader(const std::wstring& folder);

    bool IsOpen() const { return folder.IsOpen(); }
    HANDLE Handle() const { return folder.Get(); }

    // Every entry but "." and "..", each id on the volume with that serial number (ReadFileId's).
    // False when the folder cannot be read; `entries` then holds what was read before.
    bool ReadAll(std::optional<std::uint64_t> volume, std::vector<Entry>& entries);

private:
    FileHandle folder;
};
