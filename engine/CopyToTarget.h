// Copying one listed file onto its target, for the copy worker: a copy that fails leaves the
// target as it was, its earlier content or no file, and takes no room on the volume.
#pragma once

#include <windows.h>

#include <string>

// What a target path reaches: nothing, a file or folder that the directory lists under the path's
// own last name (letter case aside), or a file listed under another name, which a copy to the path
// would overwrite in its place. Wine cuts a name of more than 255 bytes of UTF-8 to 255 bytes when
// the cut falls inside a character and reaches that shorter name; a short 8.3 name reaches its
// long-named file.
enum class Reached { Nothing, ItsOwnName, AnotherName };

// `found` receives the directory's entry when the path reaches its own name.
Reached WhatPathReaches(const std::wstring& path, WIN32_FIND_DATAW& found);

// Copies the source (in the form the platform is to get) onto the target path; true when the
// target holds the whole copy. A target that reaches a file of another name, or a folder, is
// left alone.
bool CopyToTarget(const std::wstring& source, const std::wstring& target);
