// A source file of a move, held open by the copy worker from before its copy until its deletion,
// so that the file deleted is the very file that was copied, unchanged. While it is held, other
// programs may read, rename or delete it but not write to it; a file that another program has open
// for writing cannot be held, and is kept. Owned by the worker for one file.
#pragma once

#include <windows.h>

#include <string>

class SourceFile {
public:
    // `path`: the source in the form the platform is to get.
    explicit SourceFile(const std::wstring& path);
    ~SourceFile();
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // Deletes the source when the path still names the file held (same volume and file index),
    // with its size and last-write time unchanged, and the target is a file of that size under its
    // own name. A read-only source is deleted at the second attempt. True when it is gone.
    bool DeleteIfCopiedTo(const std::wstring& target);

private:
    const std::wstring path;
    HANDLE held;
    BY_HANDLE_FILE_INFORMATION heldInfo{};
};
