// Decides, for one copy run, which copies and deletions keep the content of every listed file. A
// copy may write only inside the destination (a mask or a separator with ".." could lead out of
// it), only to a name that Windows neither rewrites nor reserves, and never onto a listed source
// that this run has not deleted, which also keeps a file from being copied onto itself; a source is
// deleted only when no later entry has the same target, whose copy would overwrite the source's
// copy. Folders are told apart by what they are, not by how they are written: a destination that
// is a listed folder or a folder above the listing's start, reached by another text (a link,
// another drive letter, a share, a short name), is taken as that folder. Built once from the whole
// list, then one hash lookup per question. Owned by the copy worker for its run.
#pragma once

#include "engine/FileId.h"
#include "engine/FileLister.h"
#include "engine/NamingRule.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CopyGuard {
public:
    // `destinationId`: the identity of the destination folder, none when it is not there yet.
    CopyGuard(const NamingRule& rule, const FileLister& listing, const std::optional<FileId>& destinationId);

    // Whether the entry at `index` may be copied to its target.
    bool MayCopy(size_t index) const;
    // After a successful copy in a move: whether the source may go.
    bool MayDelete(size_t index) const { return targets[index]->second == index; }
    // The source at `index` is gone: its target may now be written.
    void SourceDeleted(size_t index);

private:
    // Whether every folder that the subfolder walk passes behind the destination's own
    // `prefixLength` characters resolves to the destination or below it.
    bool FoldersStayInside(size_t prefixLength, const std::wstring& target);

    // Keys are held once, without the destination's own key in front: every target that may be
    // written lies inside the destination, so only sources inside it can be such a target, and the
    // others are not kept at all. For a large tree this keeps the guard to one key per target.
    const std::wstring destinationText; // the key of the destination's full path; empty if unresolved
    const std::wstring destination;     // its key as the listing spells it; both end in a backslash
    // Listed sources inside the destination that still hold their content, by key behind the
    // destination's, with the number of entries that name each (two entries can share one). An
    // entry's pointer stays valid: nothing is ever removed.
    std::unordered_map<std::wstring, int> liveSources;
    std::vector<std::pair<const std::wstring, int>*> sources; // null: the source is outside
    // The last entry whose copy goes to each target, by key behind the destination's.
    std::unordered_map<std::wstring, size_t> lastWithTarget;
    std::vector<std::pair<const std::wstring, size_t>*> targets; // null: never copied (outside, refused)
    bool folderChecked = false; // FoldersStayInside's last folder and its answer
    std::wstring checkedFolder;
    bool checkedFolderStaysInside = false;
};
