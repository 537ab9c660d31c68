// The identity of a file or folder: the serial number of its volume and its index there. Two
// texts name the same file or folder exactly when the identities they reach are equal, however
// they are spelled (a link, another drive letter, a share, a short name, another letter case).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

struct FileId {
    std::uint32_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileId&) const = default;
};

// The identity of an open file or folder; none when the platform does not tell it.
std::optional<FileId> ReadFileId(HANDLE opened);
// The identity of what the path names, file or folder; none when it cannot be opened.
std::optional<FileId> ReadFileId(const std::wstring& path);
