#include "engine/CopyGuard.h"

#include "engine/PlatformPath.h"

#include <windows.h>

namespace {

// A path as Windows compares file names: resolved as the platform resolves it (against the
// current directory; slashes, "." and "..", trailing dots and blanks), in its plain form when it
// was given in the extended one ("\\?\C:\x" is C:\x, "\\?\UNC\server\share" is \\server\share),
// and upper-cased without regard to the user's locale. Empty when the platform cannot resolve it.
std::wstring FileNameKey(const std::wstring& path)
{
    std::wstring full = FullPath(path);
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

} // namespace

CopyGuard::CopyGuard(const NamingRule& rule, const std::vector<std::wstring>& files)
    : destination(EnsureTrailingDelimiter(FileNameKey(rule.destinationPrefix))), sources(files.size()),
      targets(files.size())
{
    for (size_t index = 0; index < files.size(); ++index) {
        const std::wstring sourceKey = FileNameKey(files[index]);
        if (sourceKey.empty())
            continue;
        if (IsInside(sourceKey)) {
            sources[index] = &*liveSources.try_emplace(sourceKey.substr(destination.size()), 0).first;
            ++sources[index]->second;
        }
        const std::wstring target = MakeTargetPath(rule, files[index]);
        const std::wstring targetKey = FileNameKey(target);
        if (IsInside(targetKey) && FoldersStayInside(rule.destinationPrefix.size(), target) &&
            !NamesAStream(rule, target)) {
            targets[index] = &*lastWithTarget.try_emplace(targetKey.substr(destination.size()), index).first;
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

bool CopyGuard::IsInside(const std::wstring& key) const
{
    return !destination.empty() && key.size() > destination.size() && key.starts_with(destination);
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
        if (!EnsureTrailingDelimiter(FileNameKey(target.substr(0, slash))).starts_with(destination)) {
            checkedFolderStaysInside = false;
            break;
        }
    }
    return checkedFolderStaysInside;
}
