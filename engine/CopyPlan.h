// The deciding part of a copy run: for each listed file, what the run does with it, or why it
// passes the file over. A copy may go only inside the destination (a mask or a separator with ".."
// could lead out of it), only to a name that Windows neither rewrites nor reserves, and never onto
// a listed source that is still there, whatever links lie on either path and wherever they point:
// a target is known by the folder it really lands in and its name as the file system compares
// names, a listed source by its listed folder and its name. In a move a source may go once its
// copy is verified, unless a later file has the same target, whose copy replaces it, or the
// source lies behind a folder link, outside the tree the user named. The plan reads the file
// system only through a FileSystemView, once per folder that a target lands in (a folder that the
// run makes is new and needs no read); built once from the whole listing before the first copy.
// Owned by the copy worker for its run.
#pragma once

#include "engine/FileLister.h"
#include "engine/FileSystemView.h"
#include "engine/NamingRule.h"
#include "engine/RunReport.h"

#include <string>
#include <unordered_map>
#include <vector>

// The decision for one listed file.
struct CopyStep {
    enum class Action {
        PassOver,    // not copied, for `reason`
        InPlace,     // the file is its own target already: nothing to do
        Copy,        // copied, the source stays (a copy run)
        Move,        // copied, then the source deleted once the copy is verified
        CopyAndKeep, // a move that copies the file but keeps its source, for `reason`
    };
    Action action = Action::PassOver;
    RunReport::Reason reason = RunReport::Reason::CopyFailed;
    std::wstring from;        // the source, literally (its folder's path and its name)
    std::wstring to;          // where the copy is written
    bool makeFolders = false; // the folders along `to` are made first (the separator makes folders)
};

class CopyPlan {
public:
    CopyPlan(const NamingRule& rule, const FileLister& listing, bool move, FileSystemView& files);

    // What the run does with the file at `index` of the listing, given the sources gone so far.
    CopyStep Decide(size_t index) const;
    // The source at `index` is gone, its name too: a copy may now be written there.
    void SourceGone(size_t index);

private:
    // A folder as the plan knows it: a listed one, or one that a target lands in.
    struct Known {
        std::wstring path;
        std::optional<FileId> id;
    };
    // Where a target lands: in the known folders that its folder is (several when a folder was
    // listed under several texts), or, for a folder that is not there yet, below the one known
    // folder that is, by the names that the run makes.
    struct Landing {
        std::vector<size_t> folders;
        std::wstring newNames; // folded, each name followed by a backslash; empty for a folder that is there
    };

    const Landing& LandingOf(const std::wstring& folder);
    size_t AddKnown(const std::wstring& path, const std::optional<FileId>& id);
    bool StaysInside(const std::wstring& folder) const;
    std::wstring SourceKey(size_t folder, const std::wstring& name) const;

    const NamingRule rule; // its own copy: the plan outlives the expression that made the rule
    const FileLister& listing;
    const bool move;
    FileSystemView& files;
    const std::wstring destinationKey; // ComparablePath of the destination; empty when it cannot be resolved

    std::vector<Known> known; // the listed folders first, at their positions in the listing
    std::unordered_map<std::wstring, std::vector<size_t>> knownByKey; // by ComparablePath
    std::unordered_map<std::string, std::vector<size_t>> knownById;   // by identity, where known
    std::unordered_map<std::wstring, Landing> landings;              // by ComparablePath of a target's folder

    // What the plan keeps of each file's target, the rest being text work done again on demand:
    // whether it stays inside the destination, and where it lands.
    struct Target {
        bool inside = false;
        const Landing* landing = nullptr; // null when the naming refuses the target or it leaves
    };
    // Where a target lands and its name: equal for the targets of one file.
    std::wstring TargetKey(const Target& target, const std::wstring& path) const;

    std::vector<Target> targets;                           // beside the listing's files
    std::unordered_map<std::wstring, size_t> lastWithTarget; // in a move, the last file copied to each target
    std::unordered_map<std::wstring, int> liveSources;       // listed sources still there, by SourceKey
};
