// What a folder tree holds, keyed the way the file system tells paths apart: every file with its
// bytes and attributes and every folder, each under the key of its full path. Read from the disk
// before and after a run, and built by ExpectedRun as the outcome a run must leave. A plain value.
#pragma once

#include "tests/driver/WindowQuery.h" // Utf8, for failure messages

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

struct FileState {
    std::wstring path; // as found on the disk, or as the run names it
    std::string bytes;
    DWORD attributes = 0;
};

struct TreeState {
    std::map<std::wstring, FileState> files;
    std::map<std::wstring, std::wstring> folders; // key -> path
    // The folder links, by the key of each link: its path and the key of the folder it leads to.
    struct Link {
        std::wstring path;
        std::wstring target;
    };
    std::map<std::wstring, Link> links;

    bool HasFolder(const std::wstring& key) const { return folders.contains(key); }
    // The key of what a key reaches, every link along it followed: the file or folder itself.
    std::wstring Resolved(std::wstring key) const;
};

// The full path (a relative one resolved against the current directory) in upper case and without
// a trailing backslash: two paths name the same file or folder exactly when their keys are equal.
// Resolved as the platform resolves a plain path, trailing dots and blanks and device names included.
std::wstring PathKey(const std::wstring& path);
// The key of the folder that a path reaches as the platform reads it in front of a backslash, where
// a trailing blank stays.
std::wstring FolderKey(const std::wstring& path);
// The same for a path whose every name is taken literally, as the extended form takes it: "." and
// ".." resolved and slashes read as backslashes, nothing else rewritten, so that "d." and "nul" are
// keys of their own. A path in the extended form ("\\?\C:\x") gives the key of its plain form.
std::wstring LiteralKey(const std::wstring& path);
// The key of the folder that holds the path of `key`; empty for a root.
std::wstring ParentKey(const std::wstring& key);
// Whether `key` is `folderKey` itself or lies below it.
bool IsAtOrBelow(const std::wstring& key, const std::wstring& folderKey);

// Everything below a folder, the folder itself included. The folder links named (link, target, both
// full paths) are read as links, and what they lead to only where it lies.
TreeState ReadTree(const std::wstring& folder,
                   const std::vector<std::pair<std::wstring, std::wstring>>& folderLinks = {});

// What differs between two readings of a tree outside some folders, a line for each file written,
// changed or removed there and each folder made there; a removed file whose key is in
// `mayBeRemoved` does not count, nor a new folder that holds the first folder (one of its parents).
std::vector<std::string> ChangesOutside(const TreeState& before, const TreeState& after,
                                        const std::vector<std::wstring>& folderKeys,
                                        const std::set<std::wstring>& mayBeRemoved);

// One line per folder and file below `root` (paths relative to it), with sizes and the read-only
// and hidden attributes, for the failure message of a case.
std::string DescribeTree(const TreeState& tree, const std::wstring& root);
