// Creates the folders that a path names, for the copy worker: the destination folder and, when the
// separator makes subfolders, the folders of each target path.
#pragma once

#include <string>

// Creates every folder along the path up to its last backslash; what follows that backslash (a
// file name) is never created. True when each of them exists or was created, false at the first
// one that the platform refuses; the folders after it are not tried. A path that begins with a
// backslash (a UNC path, or one from the root of the current drive) creates nothing.
bool CreateDirectoryPath(const std::wstring& path);
