// Lists the files that match a mask below the current directory, for one copy run.
// Owned by the copy worker; both lists are refilled by every ListFiles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class FileLister {
public:
    // Folders in pre-order, each ending in a backslash; "" stands for the current directory.
    std::vector<std::wstring> FolderList;
    // Files in folder order, each the mask's folder part, the subfolders and the file's name.
    std::vector<std::wstring> FileList;

    // One listing run: every folder below the mask's folder part, then in each of them the files
    // matching the mask's last component. True when at least one file was found.
    bool ListFiles(std::wstring mask);

    // Appends the folder part of the path and every folder below it to FolderList. False when a
    // search could not be started; the scan then stops everywhere up the recursion.
    bool ScanFolders(std::wstring path);

    // Appends every file (not folder) that the directory search finds for the pattern.
    void ScanFiles(std::wstring pattern);

private:
    struct FolderId {
        std::uint32_t volume;
        std::uint64_t index;
        bool operator==(const FolderId&) const = default;
    };
    // The folders of the current scan path, so that a link leading back up is not followed again.
    std::vector<FolderId> scanPath;
};
