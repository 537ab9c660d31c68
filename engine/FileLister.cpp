#include "engine/FileLister.h"

#include "engine/FileHandle.h"
#include "engine/FolderReader.h"
#include "engine/NameMatch.h"
#include "engine/PathText.h"
#include "engine/PlatformPath.h"
#include "engine/SameFolder.h"

#include <windows.h>

#include <algorithm>

namespace {

bool IsFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The root of a volume: a drive's or a share's root, or a folder that a volume is mounted on.
bool IsVolumeRoot(const std::wstring& path, bool link)
{
    if (RootLength(path) == path.size())
        return true;
    wchar_t volume[MAX_PATH];
    return link && GetVolumeNameForVolumeMountPointW(path.c_str(), volume, MAX_PATH);
}

// Whether two folders list the same entries, name, kind and id alike, in the same order, as one
// folder reached twice does: the proof, without writing, that a link leads back to a folder that
// the scan is in already, where identities alone repeat on cloned volumes. Folders that cannot be
// read prove nothing.
bool SameEntries(const std::wstring& first, const std::wstring& second)
{
    FolderReader one(first), two(second);
    std::vector<FolderReader::Entry> ofOne, ofTwo;
    return one.IsOpen() && two.IsOpen() && one.ReadAll(0, ofOne) && two.ReadAll(0, ofTwo) && ofOne == ofTwo;
}

} // namespace

bool FileLister::ListFiles(std::wstring mask)
{
    FolderList.clear();
    FileList.clear();
    Folders.clear();
    FileFolders.clear();
    scanPath.clear();
    // The directory search takes a slash for a folder delimiter, so the mask's folders are split
    // the same way: otherwise "sub/*.txt" would find sub\x.txt and list it as x.txt.
    std::replace(mask.begin(), mask.end(), L'/', L'\\');
    const std::wstring folderPart = FolderPart(mask);
    namePart = mask.substr(folderPart.size());
    matchFiles = namePart.find(L':') == std::wstring::npos;
    folderPartSize = folderPart.size();
    // The source folder as the platform resolves its text; the mask's folders below it literally.
    const std::wstring base = sourceFolder.empty() ? CurrentDirectory() : FullPath(sourceFolder);
    startFolder = ::LiteralPath(base, folderPart.empty() ? L"." : folderPart);
    if (startFolder.empty()) {
        FolderList.push_back(folderPart); // a folder part that names no folder finds nothing
        Folders.push_back({});
        return false;
    }
    if (!startFolder.ends_with(L'\\'))
        startFolder += L'\\';

    // Held open while the listing runs, so that no other folder can take the destination's id.
    const FileHandle heldDestination(
        destination.empty() ? INVALID_HANDLE_VALUE
                            : CreateFileW(destination.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    destinationId = heldDestination.IsOpen() ? ReadFileId(heldDestination.Get()) : std::nullopt;
    destinationKey = destination.empty() ? std::wstring() : ComparablePath(destination);
    Scan(folderPart, startFolder, std::nullopt, false, std::nullopt);
    return !FileList.empty();
}

void FileLister::Scan(const std::wstring& listed, const std::wstring& path, std::optional<FileId> id, bool behindLink,
                      std::optional<std::uint64_t> volume)
{
    const auto index = static_cast<std::uint32_t>(FolderList.size());
    FolderList.push_back(listed);
    Folders.push_back({path, id, behindLink, false});

    FolderReader reader(path);
    if (index == 0 && reader.IsOpen()) {
        // The start folder's identity, and the volume that the ids of the folders below it are on.
        id = ReadFileId(reader.Handle());
        volume = id ? std::optional(id->volume) : std::nullopt;
        Folders[0].id = id;
    }
    std::vector<FolderReader::Entry> entries;
    Folders[index].read = reader.IsOpen() && reader.ReadAll(volume, entries);

    // This folder's files come before those of the folders below it.
    const NameMatch match(namePart);
    for (const FolderReader::Entry& entry : entries) {
        if (!IsFolder(entry.attributes) && matchFiles && match.Matches(entry.name)) {
            FileList.push_back(listed + entry.name);
            FileFolders.push_back(index);
        }
    }

    const bool root = IsVolumeRoot(path, behindLink);
    scanPath.push_back({id, index});
    for (const FolderReader::Entry& entry : entries) {
        constexpr DWORD systemFolder = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (!IsFolder(entry.attributes) || (root && (entry.attributes & systemFolder) == systemFolder))
            continue;
        const std::wstring below = path + entry.name + L"\\";
        // A link may lead to another volume: its identity is read from the folder it reaches.
        const bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        const std::optional<FileId> belowId = link ? ReadFileId(below) : entry.id;
        const bool isDestination = (!destinationKey.empty() && ComparablePath(below) == destinationKey) ||
                                   (belowId && belowId == destinationId && IsSameFolder(destination, below));
        if (isDestination)
            continue; // the destination: its files are this run's results
        // Without a link on the scan path the folders only go down the tree and none can come twice;
        // from the first link on, a folder may be one further up, which would otherwise be followed
        // until the platform refuses the path.
        const bool beyondLink = behindLink || link;
        const auto scanning = [&](const ScanStep& step) {
            return step.id == belowId && SameEntries(Folders[step.folder].path, below);
        };
        if (beyondLink && belowId && std::any_of(scanPath.begin(), scanPath.end(), scanning))
            continue; // already being scanned further up: go on with the next sibling
        Scan(listed + entry.name + L"\\", below, belowId, beyondLink,
             link ? (belowId ? std::optional(belowId->volume) : std::nullopt) : volume);
    }
    scanPath.pop_back();
}

std::wstring FileLister::LiteralPath(const std::wstring& listed) const
{
    return startFolder + listed.substr(std::min(folderPartSize, listed.size()));
}
