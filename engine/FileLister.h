// Lists the files that match a mask below the source folder, for one copy run: every folder below
// the mask's folder part, in pre-order, each read once, and in each the files whose own names
// match the mask's last component. Owned by the copy worker; the lists are refilled by every
// ListFiles.
#pragma once

#include "engine/FileId.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FileLister {
public:
    // A listed folder as the listing reached it.
    struct Folder {
        // The path that reaches exactly this folder: the listing's start folder in the extended form
        // and the names below it as the platform reported them, ending in a backslash.
        std::wstring path;
        std::optional<FileId> id; // as the listing found it; none when unknown
        bool behindLink = false;  // reached through a folder link below the start (a reparse point)
        bool read = false;        // its entries could be read
    };

    // Folders in pre-order, each ending in a backslash; "" stands for the source folder.
    std::vector<std::wstring> FolderList;
    // Files in folder order, each the mask's folder part, the subfolders and the file's name.
    std::vector<std::wstring> FileList;
    // Beside FolderList: each folder as the listing reached it.
    std::vector<Folder> Folders;
    // Beside FileList: the position in FolderList of each file's folder.
    std::vector<std::uint32_t> FileFolders;

    // The folder that the mask starts from, a full path; the current directory when empty.
    std::wstring sourceFolder;
    // The destination, in the form the platform is to get, or empty. Met below the listing's start
    // it is left out with all below it: its files are the run's results and not its sources.
    std::wstring destination;

    // One listing run. A slash in the mask counts as a backslash, as it does to the directory
    // search; a last component with a colon (a drive, "W:*.txt", or a stream) names no file of a
    // folder and finds nothing. Folder links are followed, but not into a folder that the scan is
    // already in further up; at the root of a volume, the system's own folders (hidden and system
    // both, such as the recycle bin) are not listed. A folder that cannot be read is listed and
    // adds no file; the scan goes on with its next sibling. True when at least one file was found.
    bool ListFiles(std::wstring mask);

    // The path that reaches exactly the listed file or folder: its folder's path, then its name.
    std::wstring LiteralPath(const std::wstring& listed) const;

private:
    // A folder of the current scan path, so that a link leading back up is not followed again.
    struct ScanStep {
        std::optional<FileId> id;
        size_t folder; // in Folders
    };

    void Scan(const std::wstring& listed, const std::wstring& path, std::optional<FileId> id, bool behindLink,
              std::optional<std::uint64_t> volume);

    std::vector<ScanStep> scanPath;
    std::wstring startFolder;  // the path of the mask's folder part, ending in a backslash
    size_t folderPartSize = 0; // the length of the mask's folder part, as typed
    std::wstring namePart;     // the mask's last component; files are matched only when `matchFiles`
    bool matchFiles = false;
    std::optional<FileId> destinationId;
    std::wstring destinationKey; // its ComparablePath: the destination by its text, also where no identity is known
};
