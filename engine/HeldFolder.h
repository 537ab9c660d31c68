// In a move, the folder whose files are being moved, held open from its first file to its last so
// that it cannot be renamed or replaced meanwhile (Windows refuses to rename a folder held open
// without shared deletion, and any folder above it), and whether it is still the folder that the
// listing saw: a folder swapped for a link after the listing leads elsewhere, to files nobody
// named, and none of them may be taken. A copy leaves every source where it is and does without.
// Owned by the copy worker for its run.
#pragma once

#include "engine/FileHandle.h"
#include "engine/FileLister.h"

#include <cstdint>

class HeldFolder {
public:
    // Whether the listed folder at `folder` is still the one listed; holds it from now until the
    // next folder is asked for.
    bool IsAsListed(const FileLister& listing, std::uint32_t folder);

private:
    std::uint32_t held = UINT32_MAX; // no folder yet
    FileHandle handle;
    bool asListed = false;
};
