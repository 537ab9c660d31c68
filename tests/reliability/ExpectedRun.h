// The outcome that a copy run must leave, worked out apart from the worker's own code from the rules
// a run follows: the naming, the copies in the order the run handled the entries with their effects
// on the file system, and the data-safety rules. A copy goes only to a target inside the
// destination (in subfolder mode also through folders inside it) that is not a listed source still
// present; in a move, a source whose copy succeeded is deleted unless a later entry has the same
// target. A plain value, computed once per case.
#pragma once

#include "engine/CopySettings.h"
#include "tests/reliability/TreeState.h"

#include <set>
#include <string>
#include <vector>

// The destination folder with the backslash that the naming puts behind it.
std::wstring DestinationPrefix(const CopySettings& settings);
// Where a run copies an entry: the destination prefix, then the entry with every backslash replaced
// by the separator, whose slashes become backslashes when it holds a slash or a backslash.
std::wstring TargetOf(const CopySettings& settings, const std::wstring& entry);

// The entries that a listing with this mask must find in the tree: every file whose own name
// matches the mask's last component by Windows' rules ("*", "?" and the search's own readings of
// dots and wildcards, no regard to case; none with a colon), in the folder
// that the mask's folder part names literally and in every folder below it, named by that folder
// part as typed (a slash in it read as a backslash, as the search reads it) and the folders and
// file below it. A folder that refuses listing (`unlistable`) adds no file, and neither does any
// folder below it, which the listing cannot see; nor does the destination folder when it lies
// strictly below the start, since its files are the run's own results. Folder links are followed,
// but not into a folder that the walk is in already further up. In no particular order. Run on the
// tree as it is on the disk, with the source folder as the current directory.
struct ExpectedEntries {
    std::vector<std::wstring> entries;
    std::set<std::wstring> behindLink; // the entries reached through a folder link below the start
};
ExpectedEntries ExpectedListing(const TreeState& tree, std::wstring mask, const std::vector<std::wstring>& unlistable,
                                const std::wstring& destination);

struct ExpectedRun {
    // The outcome of a run of these settings over `before` (a tree that holds the source and the
    // destination), for the entries in the order the run handled them, none of them cancelled; a
    // move keeps the sources in `behindLink`. Resolves paths with the source folder as the current
    // directory, and follows the tree's links to what each path reaches.
    ExpectedRun(const TreeState& before, const CopySettings& settings, const std::vector<std::wstring>& entries,
                const std::set<std::wstring>& behindLink);

    std::wstring destinationKey;
    std::vector<std::wstring> sourceKeys;
    std::vector<std::wstring> targets;    // where the run writes the copies; empty for a refused name
    std::vector<std::wstring> targetKeys; // empty for a target that the run must not write
    TreeState after;

private:
    bool IsFolder(const std::wstring& key) const;
    bool StaysInside(const std::wstring& target, size_t prefixLength) const;
    // The folders that the run makes along a path: each one up to a backslash, stopping at the
    // first that cannot be made because what holds it is no folder.
    void MakeFoldersAlong(const std::wstring& path);
    bool CopySucceeds(const std::wstring& sourceKey, const std::wstring& targetKey) const;

    std::wstring rootKey; // the folder that `before` was read from
};
