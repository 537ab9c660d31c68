// Whether two paths reach one folder, asked where their identities are equal, which is only a
// hint (FileId).
#pragma once

#include <string>

// True when the two paths are one folder: their texts name it alike (ComparablePath), or a file
// made in `writable` under a name that nobody uses is seen through `other`. That proof writes
// only in `writable`, and its file goes again at once (the platform removes it even when the
// program ends meanwhile). A folder that takes no such file, or a path that cannot be reached,
// proves nothing: false. The platform's final paths prove nothing either: Wine gives every folder
// of a volume mounted inside a drive the final path of the mount point's folder.
bool IsSameFolder(const std::wstring& writable, const std::wstring& other);
