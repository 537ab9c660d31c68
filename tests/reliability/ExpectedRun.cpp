#include "tests/reliability/ExpectedRun.h"

#include "tests/support/TempFolder.h"

#include <algorithm>
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

// Whether an upper-cased name matches an upper-cased mask component: "*" any run, "?" one character.
bool Matches(const wchar_t* name, const wchar_t* mask)
{
    if (*mask == L'*')
        return Matches(name, mask + 1) || (*name != L'\0' && Matches(name + 1, mask));
    if (*mask == L'\0' || *name == L'\0')
        return *mask == *name;
    return (*mask == L'?' || *mask == *name) && Matches(name + 1, mask + 1);
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

std::vector<std::wstring> ExpectedListing(const TreeState& tree, std::wstring mask,
                                          const std::vector<std::wstring>& unlistable, const std::wstring& destination)
{
    std::replace(mask.begin(), mask.end(), L'/', L'\\');
    const size_t last = mask.rfind(L'\\');
    const std::wstring folderPart = last == std::wstring::npos ? std::wstring() : mask.substr(0, last + 1);
    const std::wstring namePart = mask.substr(folderPart.size());
    const std::wstring startKey = LiteralKey(folderPart.empty() ? L"." : folderPart);
    if (!tree.HasFolder(startKey) || namePart.find(L':') != std::wstring::npos)
        return {};

    // The keys of the folders whose files the listing cannot see: those that refuse listing from
    // the start folder on, and the destination when it lies below the start.
    std::vector<std::wstring> hidden;
    for (const std::wstring& folder : unlistable) {
        if (IsAtOrBelow(LiteralKey(folder), startKey))
            hidden.push_back(LiteralKey(folder));
    }
    const std::wstring destinationKey = PathKey(destination);
    if (destinationKey != startKey && IsAtOrBelow(destinationKey, startKey) && tree.HasFolder(destinationKey))
        hidden.push_back(destinationKey);

    const auto upperName = [](std::wstring name) {
        CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
        return name;
    };
    std::vector<std::wstring> entries;
    for (const auto& [key, file] : tree.files) {
        const std::wstring folderKey = ParentKey(key);
        const auto hides = [&folderKey](const std::wstring& refusing) { return IsAtOrBelow(folderKey, refusing); };
        if (!IsAtOrBelow(folderKey, startKey) || std::any_of(hidden.begin(), hidden.end(), hides))
            continue;
        const std::wstring& folder = tree.folders.at(folderKey);
        const std::wstring below = folder.substr(tree.folders.at(startKey).size()); // "" or "\sub\deep"
        const std::wstring name = file.path.substr(folder.size() + 1);
        if (namePart == L"*.*" || Matches(upperName(name).c_str(), upperName(namePart).c_str()))
            entries.push_back(folderPart + (below.empty() ? L"" : below.substr(1) + L"\\") + name);
    }
    return entries;
}

bool PlatformOverwrites(DWORD attributes)
{
    attributes &= FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    if (attributes == 0)
        return true;
    static std::map<DWORD, bool> probed;
    const auto known = probed.find(attributes);
    if (known != probed.end())
        return known->second;
    const TempFolder probe;
    WriteFileBytes(probe / L"new", "new");
    WriteFileBytes(probe / L"old", "old");
    SetFileAttributesW((probe / L"old").c_str(), attributes);
    const bool overwrites =
        MoveFileExW((probe / L"new").c_str(), (probe / L"old").c_str(), MOVEFILE_REPLACE_EXISTING) &&
        ReadFileBytes(probe / L"old") == "new";
    return probed[attributes] = overwrites;
}

ExpectedRun::ExpectedRun(const TreeState& before, const CopySettings& settings,
                         const std::vector<std::wstring>& entries)
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
        sourceKeys[i] = LiteralKey(entries[i]);
        ++liveSources[sourceKeys[i]];
        targets[i] = CopyPath(destinationPrefix, TargetOf(settings, entries[i]).substr(destinationPrefix.size()));
        if (!targets[i].empty() && StaysInside(targets[i], destinationPrefix.size())) {
            targetKeys[i] = PathKey(targets[i]);
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
        if (settings.deleteSource && lastWithTarget.at(target) == i) {
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
        const std::wstring key = FolderKey(folder);
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
    return existing == after.files.end() || PlatformOverwrites(existing->second.attributes);
}
