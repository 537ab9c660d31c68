// Lists the files that match a mask below the source folder, for one copy run.
// Owned by the copy worker; the lists are refilled by every ListFiles.
#pragma once

#include "engine/FileId.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FileLister {
public:
    // Folders in pre-order, each ending in a backslash; "" stands for the source folder.
    std::vector<std::wstring> FolderList;
    // Files in folder order, each the mask's folder part, the subfolders and the file's name.
    std::vector<std::wstring> FileList;
    // Beside FolderList: each folder's identity as the listing found it (none when unreadable).
    std::vector<std::optional<FileId>> FolderIds;
    // Beside FileList: the position in FolderList of each file's folder.
    std::vector<std::uint32_t> FileFolders;

    // The folder that the mask starts from, a full path; the current directory when empty.
    std::wstring sourceFolder;
    // A folder below the listing's start that is left out with all below it: the destination,
    // whose own files are the run's results and not its sources.
    std::optional<FileId> excludedFolder;

    // One listing run: every folder below the mask's folder part, then in each of them the files
    // whose own names match the mask's last component. A slash in the mask counts as a backslash,
    // as it does to the directory search; a last component with a colon (a drive, "W:*.txt", or a
    // stream) names no file of a folder and finds nothing. True when at least one file was found.
    bool ListFiles(std::wstring mask);

    // Appends the folder part of the path and every folder below it to FolderList. False when a
    // search below it could not be started; that folder is listed all the same, and the scan goes
    // on with its next sibling. `throughLink`: the folder was reached through a folder link (a
    // reparse point).
    bool ScanFolders(std::wstring path, bool throughLink = false);

    // Appends every file (not folder) whose name matches the pattern's last component.
    void ScanFiles(std::wstring pattern);

    // The path that reaches exactly the listed file or folder: the listing's start folder in the
    // extended form, then the names below it as the directory search reported them, so that a name
    // that ends in a dot or a blank, or is a device's, reaches that very file.
    std::wstring LiteralPath(const std::wstring& listed) const;
    // The literal path of the start folder ("\\?\C:\src\"), set by ListFiles.
    const std::wstring& StartFolder() const { return startFolder; }

private:
    // A folder of the current scan path, with its identity, so that a link leading back up is not
    // followed again.
    struct ScanStep {
        bool throughLink;
        std::optional<FileId> id;
    };
    std::vector<ScanStep> scanPath;
    std::wstring startFolder;  // LiteralPath of the mask's folder part, ending in a backslash
    size_t folderPartSize = 0; // the length of the mask's folder part, as typed
    std::uint32_t filesFolder = 0; // the position in FolderList of the folder that ScanFiles searches
};
