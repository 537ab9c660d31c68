#include "engine/CopyGuard.h"

#include "engine/PlatformPath.h"

#include <windows.h>

namespace {

// A path as Windows compares file names, for a path that is already full: in its plain form when
// it was given in the extended one ("\\?\C:\x" is C:\x, "\\?\UNC\server\share" is \\server\share),
// and upper-cased without regard to the user's locale. Empty for an empty path.
std::wstring FileNameKey(std::wstring full)
{
    if (full.starts_with(L"\\\\?\\UNC\\"))
        full.erase(2, 6);
    else if (full.starts_with(L"\\\\?\\"))
        full.erase(0, 4);
    std::wstring key(full.size(), L'\0');
    const int size = static_cast<int>(full.size());
    if (size == 0 || LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, full.data(), size, key.data(), size,
                                   nullptr, nullptr, 0) != size)
        return {};
    return key;
}

// The destination as the listing spells it, in the extended form, when it is one of the listed
// folders or a folder that the listing's start lies in; otherwise its own full path. Only its
// identity tells the same folder under another text.
std::wstring ListingSpelling(const FileLister& listing, const std::wstring& destinationFull,
                             const std::optional<FileId>& destinationId)
{
    if (!destinationId)
        return destinationFull;
    for (size_t folder = 0; folder < listing.FolderIds.size(); ++folder) {
        if (listing.FolderIds[folder] == destinationId)
            return listing.LiteralPath(listing.FolderList[folder]);
    }
    std::wstring above = listing.StartFolder(); // ends in a backslash
    for (const size_t root = RootLength(above); above.size() > root;) {
        above.pop_back();
        above.resize(above.rfind(L'\\') + 1);
        if (ReadFileId(above) == destinationId)
            return above;
    }
    return destinationFull;
}

} // namespace

CopyGuard::CopyGuard(const NamingRule& rule, const FileLister& listing, const std::optional<FileId>& destinationId)
    : destinationText(EnsureTrailingDelimiter(FileNameKey(FullPath(rule.destinationPrefix)))),
      destination(destinationText.empty()
                      ? std::wstring()
                      : EnsureTrailingDelimiter(FileNameKey(ListingSpelling(listing, FullPath(rule.destinationPrefix),
                                                                            destinationId)))),
      sources(listing.FileList.size()), targets(listing.FileList.size())
{
    const std::vector<std::wstring>& files = listing.FileList;
    for (size_t index = 0; index < files.size() && !destination.empty(); ++index) {
        const std::wstring sourceKey = FileNameKey(listing.LiteralPath(files[index]));
        if (sourceKey.size() > destination.size() && sourceKey.starts_with(destination)) {
            sources[index] = &*liveSources.try_emplace(sourceKey.substr(destination.size()), 0).first;
            ++sources[index]->second;
        }
        const std::wstring target = MakeCopyPath(rule, files[index]);
        if (target.empty())
            continue;
        const std::wstring targetKey = FileNameKey(FullPath(target));
        if (targetKey.size() > destinationText.size() && targetKey.starts_with(destinationText) &&
            FoldersStayInside(rule.destinationPrefix.size(), target)) {
            targets[index] = &*lastWithTarget.try_emplace(targetKey.substr(destinationText.size()), index).first;
            targets[index]->second = index;
        }
    }
}

bool CopyGuard::MayCopy(size_t index) const
{
    if (targets[index] == nullptr)
        return false;
    const auto source = liveSources.find(targets[index]->first);
    return source == liveSources.end() || source->second == 0;
}

void CopyGuard::SourceDeleted(size_t index)
{
    if (sources[index] != nullptr)
        --sources[index]->second;
}

// A separator with ".." could lead out of the destination and back in. The answer depends only on
// the target's folder, and the files of one folder come one after another, so the answer for the
// last folder is kept.
bool CopyGuard::FoldersStayInside(size_t prefixLength, const std::wstring& target)
{
    const std::wstring folder = target.substr(0, target.rfind(L'\\') + 1);
    if (folderChecked && folder == checkedFolder)
        return checkedFolderStaysInside;
    folderChecked = true;
    checkedFolder = folder;
    checkedFolderStaysInside = true;
    for (size_t slash = target.find(L'\\', prefixLength); slash != std::wstring::npos;
         slash = target.find(L'\\', slash + 1)) {
        if (!EnsureTrailingDelimiter(FileNameKey(FullPath(target.substr(0, slash)))).starts_with(destinationText)) {
            checkedFolderStaysInside = false;
            break;
        }
    }
    return checkedFolderStaysInside;
}
