#include "tests/reliability/ExpectedRun.h"

#include "engine/PlatformPath.h"
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

std::vector<std::wstring> ExpectedListing(const TreeState& tree, std::wstring mask,
                                          const std::vector<std::wstring>& unlistable)
{
    std::replace(mask.begin(), mask.end(), L'/', L'\\');
    const size_t last = mask.rfind(L'\\');
    const std::wstring folderPart = last == std::wstring::npos ? std::wstring() : mask.substr(0, last + 1);
    const std::wstring namePart = mask.substr(folderPart.size());
    const std::wstring startKey = PathKey(folderPart.empty() ? L"." : folderPart);
    const auto start = tree.folders.find(startKey);
    if (start == tree.folders.end())
        return {};

    std::vector<std::wstring> hidden; // the keys of the folders that refuse listing from the start folder on
    for (const std::wstring& folder : unlistable) {
        if (IsAtOrBelow(PathKey(folder), startKey))
            hidden.push_back(PathKey(folder));
    }

    std::vector<std::wstring> entries;
    for (const auto& [key, path] : tree.folders) {
        const auto hides = [&key](const std::wstring& refusing) { return IsAtOrBelow(key, refusing); };
        if (!IsAtOrBelow(key, startKey) || std::any_of(hidden.begin(), hidden.end(), hides))
            continue;
        const std::wstring below = path.substr(start->second.size()); // "" or "\sub\deep"
        const std::wstring prefix = folderPart + (below.empty() ? L"" : below.substr(1) + L"\\");
        WIN32_FIND_DATAW data;
        const HANDLE search = FindFirstFileW(PlatformPath(path + L"\\" + namePart).c_str(), &data);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                entries.push_back(prefix + data.cFileName);
        } while (FindNextFileW(search, &data));
        FindClose(search);
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
        sourceKeys[i] = PathKey(entries[i]);
        ++liveSources[sourceKeys[i]];
        targets[i] = TargetOf(settings, entries[i]);
        if (StaysInside(targets[i], destinationPrefix.size())) {
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
        if (!IsAtOrBelow(PathKey(target.substr(0, slash)), destinationKey))
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
        const std::wstring key = PathKey(folder);
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
