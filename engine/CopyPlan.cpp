#include "engine/CopyPlan.h"

#include "engine/NameFold.h"
#include "engine/PathText.h"
#include "engine/PlatformPath.h"

#include <algorithm>

namespace {

// Whether the path key is the folder key or lies below it.
bool AtOrInside(const std::wstring& key, const std::wstring& folder)
{
    return key.starts_with(folder) &&
           (key.size() == folder.size() || folder.ends_with(L'\\') || key[folder.size()] == L'\\');
}

// An identity as a hash key.
std::string IdKey(const FileId& id)
{
    std::string key(reinterpret_cast<const char*>(&id.volume), sizeof id.volume);
    key.append(reinterpret_cast<const char*>(id.file.data()), id.file.size());
    return key;
}

} // namespace

CopyPlan::CopyPlan(const NamingRule& rule, const FileLister& listing, bool move, FileSystemView& files)
    : rule(rule), listing(listing), move(move), files(files), destinationKey(ComparablePath(rule.destinationPrefix)),
      targets(listing.FileList.size())
{
    for (const FileLister::Folder& folder : listing.Folders)
        AddKnown(folder.path, folder.id);

    // The files of one folder come one after another, and so do their targets' folders.
    std::wstring lastFolder;
    bool lastInside = false;
    const Landing* lastLanding = nullptr;
    for (size_t index = 0; index < listing.FileList.size(); ++index) {
        const std::wstring& entry = listing.FileList[index];
        ++liveSources[SourceKey(listing.FileFolders[index], LastName(entry))];
        Target& target = targets[index];
        const std::wstring path = MakeCopyPath(rule, entry);
        if (path.empty() || destinationKey.empty())
            continue;
        const std::wstring folder = FolderPart(path);
        if (lastLanding == nullptr || folder != lastFolder) {
            lastFolder = folder;
            lastInside = StaysInside(folder);
            lastLanding = lastInside ? &LandingOf(folder) : nullptr;
        }
        target.inside = lastInside;
        if (!target.inside)
            continue;
        target.landing = lastLanding;
        if (move)
            lastWithTarget[TargetKey(target, path)] = index;
    }
}

CopyStep CopyPlan::Decide(size_t index) const
{
    using Action = CopyStep::Action;
    using Reason = RunReport::Reason;
    const Target& target = targets[index];
    const std::uint32_t folder = listing.FileFolders[index];
    const std::wstring name = LastName(listing.FileList[index]);
    CopyStep step;
    step.from = listing.Folders[folder].path + name;
    bool reserved = false;
    const std::wstring path = MakeCopyPath(rule, listing.FileList[index], &reserved);
    if (path.empty()) {
        step.reason = reserved ? Reason::ReservedName : Reason::UnusableName;
        return step;
    }
    if (!target.inside) {
        step.reason = Reason::OutsideDestination;
        return step;
    }
    const std::wstring targetName = FoldName(LastName(path));
    if (target.landing->newNames.empty()) {
        for (const size_t landing : target.landing->folders) {
            const auto live = liveSources.find(SourceKey(landing, targetName));
            if (live == liveSources.end() || live->second == 0)
                continue;
            if (landing == folder && targetName == FoldName(name))
                step.action = Action::InPlace;
            step.reason = Reason::WouldOverwriteSource;
            return step;
        }
    }
    step.to = path;
    step.makeFolders = rule.subfolderMode;
    step.action = move ? Action::Move : Action::Copy;
    if (move && listing.Folders[folder].behindLink) {
        step.action = Action::CopyAndKeep;
        step.reason = Reason::BehindLink;
    } else if (move && lastWithTarget.at(TargetKey(target, path)) != index) {
        step.action = Action::CopyAndKeep;
        step.reason = Reason::SameTargetLater;
    }
    return step;
}

void CopyPlan::SourceGone(size_t index)
{
    --liveSources[SourceKey(listing.FileFolders[index], LastName(listing.FileList[index]))];
}

// A folder that is there is the known folders that it proves to be: those of its text, and those
// of its identity that it is shown to be one with; a folder that is proven none of them becomes
// known itself. A folder that is not there is new: the run makes it below the deepest one that is.
const CopyPlan::Landing& CopyPlan::LandingOf(const std::wstring& folder)
{
    const std::wstring key = ComparablePath(folder);
    if (const auto found = landings.find(key); found != landings.end())
        return found->second;
    Landing landing;
    const FileSystemView::Reached reached = files.At(folder);
    if (!reached.exists) {
        std::wstring trimmed = folder;
        while (trimmed.size() > RootLength(trimmed) && trimmed.ends_with(L'\\'))
            trimmed.pop_back();
        const std::wstring parent = FolderPart(trimmed);
        if (parent.empty() || parent.size() >= trimmed.size()) {
            landing.newNames = key + L'\\'; // not even a root is there
        } else {
            landing = LandingOf(parent);
            landing.newNames += FoldName(LastName(trimmed)) + L'\\';
        }
    } else {
        if (const auto same = knownByKey.find(key); same != knownByKey.end())
            landing.folders = same->second;
        if (reached.id) {
            if (const auto alike = knownById.find(IdKey(*reached.id)); alike != knownById.end()) {
                for (const size_t candidate : alike->second) {
                    if (std::find(landing.folders.begin(), landing.folders.end(), candidate) == landing.folders.end() &&
                        files.SameFolder(folder, known[candidate].path))
                        landing.folders.push_back(candidate);
                }
            }
        }
        if (landing.folders.empty())
            landing.folders.push_back(AddKnown(folder, reached.id));
    }
    return landings.emplace(key, std::move(landing)).first->second;
}

size_t CopyPlan::AddKnown(const std::wstring& path, const std::optional<FileId>& id)
{
    const size_t index = known.size();
    known.push_back({path, id});
    knownByKey[ComparablePath(path)].push_back(index);
    if (id)
        knownById[IdKey(*id)].push_back(index);
    return index;
}

// A separator with ".." could lead out of the destination and back in: every folder that making
// the target's folders passes must lie inside it too.
bool CopyPlan::StaysInside(const std::wstring& folder) const
{
    if (!AtOrInside(ComparablePath(folder), destinationKey))
        return false;
    for (size_t slash = folder.find(L'\\', rule.destinationPrefix.size()); slash != std::wstring::npos;
         slash = folder.find(L'\\', slash + 1)) {
        if (!AtOrInside(ComparablePath(folder.substr(0, slash)), destinationKey))
            return false;
    }
    return true;
}

std::wstring CopyPlan::TargetKey(const Target& target, const std::wstring& path) const
{
    const auto first = std::min_element(target.landing->folders.begin(), target.landing->folders.end());
    return (first == target.landing->folders.end() ? std::wstring(L"-") : std::to_wstring(*first)) + L':' +
           target.landing->newNames + FoldName(LastName(path));
}

std::wstring CopyPlan::SourceKey(size_t folder, const std::wstring& name) const
{
    return std::to_wstring(folder) + L':' + FoldName(name);
}
