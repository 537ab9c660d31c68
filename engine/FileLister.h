// Lists the files that match a mask below the current directory, for one copy run.
// Owned by the copy worker; both lists are refilled by every ListFiles.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FileLister {
public:
    // Folders in pre-order, each ending in a backslash; "" stands for the current directory.
    std::vector<std::wstring> FolderList;
    // Files in folder order, each the mask's folder part, the subfolders and the file's name.
    std::vector<std::wstring> FileList;

    // One listing run: every folder below the mask's folder part, then in each of them the files
    // matching the mask's last component. A slash in the mask counts as a backslash, as it does to
    // the directory search. True when at least one file was found.
    bool ListFiles(std::wstring mask);

    // Appends the folder part of the path and every folder below it to FolderList. False when a
    // search below it could not be started; that folder is listed all the same, and the scan goes
    // on with its next sibling. `throughLink`: the folder was reached through a folder link (a
    // reparse point).
    bool ScanFolders(std::wstring path, bool throughLink = false);

    // Appends every file (not folder) that the directory search finds for the pattern.
    void ScanFiles(std::wstring pattern);

private:
    struct FolderId {
        std::uint32_t volume;
        std::uint64_t index;
        bool operator==(const FolderId&) const = default;
    };
    // A folder of the current scan path. Its identity is read only when a folder at or below a link
    // is compared with it: reading one is slow on some systems, and trees without links never need
    // one.
    struct ScanStep {
        std::wstring folder;
        bool throughLink;
        bool idRead = false;
        std::optional<FolderId> id;
    };
    std::vector<ScanStep> scanPath;

    static std::optional<FolderId> ReadFolderId(const std::wstring& folder);
    // Whether the folder is one of the scan path's, so that a link leading back up is not followed again.
    bool IsOnScanPath(const std::wstring& folder);
};
