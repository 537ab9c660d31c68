// The identity of a file or folder as the platform tells it: the serial number of its volume and
// its file id there. Equal identities are a hint that two paths reach one file, never proof: a
// cloned volume (a disk image, a stick copied sector by sector) repeats the serial number and the
// ids of the original, ReFS does not promise unique 64-bit ids, and some network drives reuse an
// id once no handle holds its file. A file system without ids answers 0, or all ones for a file
// without a unique id; such an identity is unknown, none.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct FileId {
    std::uint64_t volume = 0;
    std::array<std::uint8_t, 16> file{}; // the 128-bit id; a 64-bit one fills the low 8 bytes
    bool operator==(const FileId&) const = default;
};

// The fullest identity that the platform gives for an open file or folder: FileIdInfo where the
// file system answers it, the classic serial number and 64-bit index otherwise. None when neither
// tells a known one.
std::optional<FileId> ReadFileId(HANDLE opened);
// The identity of what the path names, file or folder, through links; none when it cannot be opened.
std::optional<FileId> ReadFileId(const std::wstring& path);

// The identity of an entry that a folder listing reported, with its 128-bit or its 64-bit id, on
// the volume that ReadFileId gives `volume` for; on NTFS the 128-bit id is the 64-bit one widened,
// so either listing agrees with ReadFileId. None for an unknown id.
std::optional<FileId> ListedFileId(std::uint64_t volume, const FILE_ID_128& id);
std::optional<FileId> ListedFileId(std::uint64_t volume, LARGE_INTEGER id);
