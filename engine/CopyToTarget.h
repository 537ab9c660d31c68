// Copying one listed file onto its target, for the copy worker: the copy is written whole under a
// temporary name of its own in the target's folder and takes the target's name only then, so
// that the target's name holds, at every moment, its earlier content, the whole new one or
// nothing, also when the program is ended part way; a copy that fails takes no room on the volume.
#pragma once

#include "engine/RunReport.h"

#include <windows.h>

#include <optional>
#include <string>

// What a target path reaches: nothing, a file or folder that the directory lists under the path's
// own last name (letter case aside), or a file listed under another name, which a copy to the path
// would overwrite in its place. Wine cuts a name of more than 255 bytes of UTF-8 to 255 bytes when
// the cut falls inside a character and reaches that shorter name; a short 8.3 name reaches its
// long-named file.
enum class Reached { Nothing, ItsOwnName, AnotherName };

// `found` receives the directory's entry when the path reaches its own name.
Reached WhatPathReaches(const std::wstring& path, WIN32_FIND_DATAW& found);

// Copies the source (in the form the platform is to get) onto the target path. None when the
// target holds the whole copy; otherwise why not, the target left as it was. An existing target is
// replaced, even one that another program holds open where the platform allows that; one that is
// read-only, a folder, or reached under another name is left alone.
std::optional<RunReport::Reason> CopyToTarget(const std::wstring& source, const std::wstring& target);
