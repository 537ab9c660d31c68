// What the copy plan reads of the file system, and all that it reads: what a path reaches, and
// whether two paths of equal identity are one folder. LiveFileSystem asks the platform; a table
// test can hand the plan any tree, link and identity through it.
#pragma once

#include "engine/FileId.h"

#include <optional>
#include <string>

class FileSystemView {
public:
    struct Reached {
        bool exists = false;      // something is there (through links)
        std::optional<FileId> id; // its identity; none when unknown
    };

    // What the path reaches, following links.
    virtual Reached At(const std::wstring& path) = 0;
    // Whether the folder `writable` (on the destination's side, where the run writes anyway) and
    // the folder `other` are one; asked only where their identities are equal.
    virtual bool SameFolder(const std::wstring& writable, const std::wstring& other) = 0;

protected:
    ~FileSystemView() = default;
};
