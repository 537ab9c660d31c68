#include "tests/reliability/ExpectedRun.h"

#include "tests/support/TempFolder.h"

#include <algorithm>
#include <cwchar>
#include <map>

std::wstring DestinationPrefix(const CopySettings& settings)
{
    const std::wstring& destination = settings.destination;
    return destination.empty() || destination.back() == L'\\' ? destination : destination + L"\\";
}

std::wstring TargetOf(const CopySettings& settings, const std::wstring& entry)
{
    std::wstring separator = settings.separator;
    if (separator.find_first_of(L"\\/") != std::wstring::npos)
        std::replace(separator.begin(), separator.end(), L'/', L'\\');
    std::wstring target = DestinationPrefix(settings);
    for (const wchar_t c : entry) {
        if (c == L'\\')
            target += separator;
        else
            target += c;
    }
    return target;
}

namespace {

// A mask component as Windows' search reads it: "*.*" is "*"; "?" is ">", a dot before a
// wildcard or at the end is a double quote, and "*" before a dot is "<".
std::wstring SearchPattern(std::wstring mask)
{
    if (mask == L"*.*")
        return L"*";
    for (size_t at = 0; at < mask.size(); ++at) {
        const wchar_t next = at + 1 < mask.size() ? mask[at + 1] : L'\0';
        if (mask[at] == L'?')
            mask[at] = L'>';
        else if (mask[at] == L'.' && (next == L'?' || next == L'*' || next == L'\0'))
            mask[at] = L'"';
        else if (mask[at] == L'*' && next == L'.')
            mask[at] = L'<';
    }
    return mask;
}

// Whether a name matches a mask component in the search's reading (SearchPattern), letter case
// aside as the file system compares names: "*" any run, "<" any run that leaves the name's last
// dot to what follows, ">" one character or, before a dot or at the end, none, and a double quote
// a dot or the end.
bool Matches(const wchar_t* name, const wchar_t* mask)
{
    const wchar_t* lastDot = std::wcsrchr(name, L'.');
    switch (*mask) {
    case L'*':
        return Matches(name, mask + 1) || (*name != L'\0' && Matches(name + 1, mask));
    case L'<':
        return Matches(name, mask + 1) || (*name != L'\0' && name != lastDot && Matches(name + 1, mask));
    case L'>':
        return ((*name == L'\0' || *name == L'.') && Matches(name, mask + 1)) ||
               (*name != L'\0' && Matches(name + 1, mask + 1));
    case L'"':
        return (*name == L'\0' && Matches(name, mask + 1)) || (*name == L'.' && Matches(name + 1, mask + 1));
    case L'\0':
        return *name == L'\0';
    default:
        return *name != L'\0' && CompareStringOrdinal(mask, 1, name, 1, TRUE) == CSTR_EQUAL &&
               Matches(name + 1, mask + 1);
    }
}

// The path where a run writes the copy of `folded` (the entry's target behind the prefix): each
// folder name without its trailing dots and blanks; empty when no copy may be written there, for a
// name with a colon or of a device, a file name ending in a dot or a blank, or a folder name of dots
// and blanks alone ("." and ".." aside).
std::wstring CopyPath(const std::wstring& prefix, const std::wstring& folded)
{
    static const std::vector<std::wstring> devices = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    std::wstring path = prefix;
    for (size_t from = 0;;) {
        const size_t end = folded.find(L'\\', from);
        std::wstring name = folded.substr(from, end == std::wstring::npos ? end : end - from);
        std::wstring base = name.substr(0, name.find(L'.'));
        base.erase(base.find_last_not_of(L' ') + 1);
        CharUpperBuffW(base.data(), static_cast<DWORD>(base.size()));
        const bool numbered = base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) &&
                              std::wstring(L"0123456789\u00b9\u00b2\u00b3").find(base[3]) != std::wstring::npos;
        if (name.find(L':') != std::wstring::npos || numbered ||
            std::find(devices.begin(), devices.end(), base) != devices.end())
            return {};
        if (end == std::wstring::npos)
            return name.empty() || name.back() == L'.' || name.back() == L' ' ? std::wstring() : path + name;
        if (name != L"." && name != L"..") {
            name.erase(name.find_last_not_of(L". ") + 1);
            if (name.empty() && end > from)
                return {};
        }
        path += name + L"\\";
        from = end + 1;
    }
}

} // namespace

namespace {

// The listing's walk over the tree as the model holds it.
class ListingWalk {
public:
    ListingWalk(const TreeState& tree, const std::wstring& pattern, const std::vector<std::wstring>& refusing,
                const std::wstring& destinationKey)
        : tree(tree), pattern(pattern), refusing(refusing), destinationKey(destinationKey)
    {
        for (const auto& [key, file] : tree.files)
            files.emplace(ParentKey(key), &file);
        for (const auto& [key, path] : tree.folders)
            below.emplace(ParentKey(key), std::pair(path.substr(path.rfind(L'\\') + 1), key));
        for (const auto& [key, link] : tree.links)
            below.emplace(ParentKey(key), std::pair(link.path.substr(link.path.rfind(L'\\') + 1), key));
    }

    void Walk(const std::wstring& listed, const std::wstring& key, bool behindLink)
    {
        if (std::find(refusing.begin(), refusing.end(), key) != refusing.end())
            return; // refuses listing, and hides what is below it
        const auto [first, last] = files.equal_range(key);
        for (auto file = first; file != last; ++file) {
            const std::wstring& path = file->second->path;
            if (Matches(path.substr(path.rfind(L'\\') + 1).c_str(), pattern.c_str())) {
                listing.entries.push_back(listed + path.substr(path.rfind(L'\\') + 1));
                if (behindLink)
                    listing.behindLink.insert(listing.entries.back());
            }
        }
        scanning.push_back(key);
        const auto [from, to] = below.equal_range(key);
        for (auto child = from; child != to; ++child) {
            const auto& [name, childKey] = child->second;
            const bool link = tree.links.contains(childKey);
            const std::wstring reached = tree.Resolved(childKey);
            const bool beyondLink = behindLink || link;
            if (!tree.HasFolder(reached) || reached == destinationKey ||
                (beyondLink && std::find(scanning.begin(), scanning.end(), reached) != scanning.end()))
                continue;
            Walk(listed + name + L"\\", reached, beyondLink);
        }
        scanning.pop_back();
    }

    ExpectedEntries listing;

private:
    const TreeState& tree;
    const std::wstring pattern;
    const std::vector<std::wstring>& refusing;
    const std::wstring destinationKey;
    std::multimap<std::wstring, const FileState*> files;                          // by folder
    std::multimap<std::wstring, std::pair<std::wstring, std::wstring>> below; // by folder: name, key
    std::vector<std::wstring> scanning;
};

} // namespace

ExpectedEntries ExpectedListing(const TreeState& tree, std::wstring mask, const std::vector<std::wstring>& unlistable,
                                const std::wstring& destination)
{
    std::replace(mask.begin(), mask.end(), L'/', L'\\');
    const size_t last = mask.rfind(L'\\');
    const std::wstring folderPart = last == std::wstring::npos ? std::wstring() : mask.substr(0, last + 1);
    const std::wstring namePart = mask.substr(folderPart.size());
    const std::wstring startKey = tree.Resolved(LiteralKey(folderPart.empty() ? L"." : folderPart));
    if (!tree.HasFolder(startKey) || namePart.find(L':') != std::wstring::npos)
        return {};
    std::vector<std::wstring> refusing;
    for (const std::wstring& folder : unlistable)
        refusing.push_back(tree.Resolved(LiteralKey(folder)));
    ListingWalk walk(tree, SearchPattern(namePart), refusing, tree.Resolved(PathKey(destination)));
    walk.Walk(folderPart, startKey, false);
    return walk.listing;
}

ExpectedRun::ExpectedRun(const TreeState& before, const CopySettings& settings,
                         const std::vector<std::wstring>& entries, const std::set<std::wstring>& behindLink)
    : sourceKeys(entries.size()), targets(entries.size()), targetKeys(entries.size()), after(before),
      rootKey(before.folders.begin()->first) // every other key of the tree extends it
{
    const CurrentDirectoryScope inSource(settings.source);
    const std::wstring destinationPrefix = DestinationPrefix(settings);
    destinationKey = PathKey(destinationPrefix);
    const bool subfolderMode = settings.separator.find_first_of(L"\\/") != std::wstring::npos;
    MakeFoldersAlong(destinationPrefix);

    // Listed sources that still hold their content, and the last entry that goes to each target.
    std::map<std::wstring, int> liveSources;
    std::map<std::wstring, size_t> lastWithTarget;
    for (size_t i = 0; i < entries.size(); ++i) {
        sourceKeys[i] = after.Resolved(LiteralKey(entries[i]));
        ++liveSources[sourceKeys[i]];
        targets[i] = CopyPath(destinationPrefix, TargetOf(settings, entries[i]).substr(destinationPrefix.size()));
        if (!targets[i].empty() && StaysInside(targets[i], destinationPrefix.size())) {
            targetKeys[i] = after.Resolved(PathKey(targets[i]));
            lastWithTarget[targetKeys[i]] = i;
        }
    }

    for (size_t i = 0; i < entries.size(); ++i) {
        const std::wstring& target = targetKeys[i];
        if (target.empty() || liveSources.contains(target))
            continue;
        if (subfolderMode)
            MakeFoldersAlong(targets[i]);
        if (!CopySucceeds(sourceKeys[i], target))
            continue;
        const FileState& source = after.files.at(sourceKeys[i]);
        after.files[target] = FileState{targets[i], source.bytes, source.attributes};
        if (settings.deleteSource && lastWithTarget.at(target) == i && !behindLink.contains(entries[i])) {
            after.files.erase(sourceKeys[i]);
            if (--liveSources[sourceKeys[i]] == 0)
                liveSources.erase(sourceKeys[i]);
        }
    }
}

bool ExpectedRun::IsFolder(const std::wstring& key) const
{
    // The folders above the tree are there too.
    return after.HasFolder(key) || (rootKey.size() > key.size() && IsAtOrBelow(rootKey, key));
}

bool ExpectedRun::StaysInside(const std::wstring& target, size_t prefixLength) const
{
    const std::wstring key = PathKey(target);
    if (key == destinationKey || !IsAtOrBelow(key, destinationKey))
        return false;
    for (size_t slash = target.find(L'\\', prefixLength); slash != std::wstring::npos;
         slash = target.find(L'\\', slash + 1)) {
        if (!IsAtOrBelow(FolderKey(target.substr(0, slash)), destinationKey))
            return false;
    }
    return true;
}

void ExpectedRun::MakeFoldersAlong(const std::wstring& path)
{
    const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    for (size_t slash = path.find(L'\\', drive ? 3 : 0); slash != std::wstring::npos;
         slash = path.find(L'\\', slash + 1)) {
        const std::wstring folder = path.substr(0, slash);
        if (folder.empty())
            return;
        const std::wstring key = after.Resolved(FolderKey(folder));
        if (IsFolder(key) || after.files.contains(key))
            continue; // already there; a file of that name fails the copy later
        if (!IsFolder(ParentKey(key)))
            return;
        after.folders[key] = folder;
    }
}

bool ExpectedRun::CopySucceeds(const std::wstring& sourceKey, const std::wstring& targetKey) const
{
    if (!after.files.contains(sourceKey) || !IsFolder(ParentKey(targetKey)) || after.HasFolder(targetKey))
        return false;
    const auto existing = after.files.find(targetKey);
    // A read-only target is left as it is, as an overwriting copy on Windows leaves it.
    return existing == after.files.end() || !(existing->second.attributes & FILE_ATTRIBUTE_READONLY);
}
