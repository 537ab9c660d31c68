// Creates the folders that a path names, for the copy worker: the destination folder and, when the
// separator makes subfolders, the folders of each target path.
#pragma once

#include <string>

// Creates every folder along the path up to its last backslash; what follows that backslash (a
// file name) is never created, and neither is the root that the path begins with: a drive ("C:\"),
// the current drive's root ("\"), a share ("\\server\share\") or their extended forms ("\\?\C:\",
// "\\?\UNC\server\share\"). True when each folder exists or was created, false at the first one
// that the platform refuses; the folders after it are not tried. Folders of any length are made,
// each under the name by which the rest of the path reaches it (a trailing blank kept, one
// trailing dot dropped), and a slash counts as a backslash outside the extended form.
bool CreateDirectoryPath(const std::wstring& path);
