#include "engine/FolderNamed.h"

#include "engine/PathText.h"
#include "engine/PlatformPath.h"

std::wstring FolderNamed(const std::wstring& folder)
{
    if (IsBareDrive(folder))
        return folder + L"\\";
    if (IsExtendedPath(folder))
        return folder;
    return FullPath(folder);
}
