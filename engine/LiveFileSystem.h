// The file system as the platform shows it, for the copy plan: identities read through an open
// handle (ReadFileId), and sameness proven as IsSameFolder proves it. Owned by the copy worker.
#pragma once

#include "engine/FileSystemView.h"

class LiveFileSystem final : public FileSystemView {
public:
    Reached At(const std::wstring& path) override;
    bool SameFolder(const std::wstring& writable, const std::wstring& other) override;
};
