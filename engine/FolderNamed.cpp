#include "engine/FolderNamed.h"

#include "engine/PlatformPath.h"

std::wstring FolderNamed(const std::wstring& folder)
{
    const bool bareDrive = folder.size() == 2 && folder[1] == L':' &&
                           ((folder[0] >= L'A' && folder[0] <= L'Z') || (folder[0] >= L'a' && folder[0] <= L'z'));
    if (bareDrive)
        return folder + L"\\";
    if (folder.starts_with(L"\\\\?\\"))
        return folder;
    return FullPath(folder);
}
