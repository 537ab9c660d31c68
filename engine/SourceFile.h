// A source file of a move, held open by the copy worker from before its copy until its deletion,
// so that the file deleted is the very file that was copied, unchanged. While it is held, other
// programs may read, rename or delete it but not write to it; a file that another program has open
// for writing cannot be held, and is kept. Owned by the worker for one file.
#pragma once

#include "engine/FileHandle.h"
#include "engine/FileId.h"

#include <windows.h>

#include <optional>
#include <string>

class SourceFile {
public:
    enum class Deletion {
        Gone,    // deleted, its name too
        Pending, // deleted, but its name stays until another program closes the file
        Changed, // not deleted: it is no longer the file that was copied, unchanged
        Kept,    // not deleted: it could not be held or deleted, or its copy is not as made
    };

    // `path`: the source in the form the platform is to get.
    explicit SourceFile(const std::wstring& path);

    // Deletes the source when the path still names the file held (the same identity, compared
    // while both handles are open), with its size and last-write time unchanged, and the target is
    // a file of that size under its own name. A read-only source is deleted without losing its
    // marks when it is kept.
    Deletion DeleteIfCopiedTo(const std::wstring& target);

private:
    struct State {
        std::optional<FileId> id;
        LARGE_INTEGER size;
        LARGE_INTEGER lastWrite;
    };
    static std::optional<State> Read(HANDLE file);

    const std::wstring path;
    FileHandle held;
    std::optional<State> heldState;
};
