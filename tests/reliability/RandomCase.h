// One case of the randomised run test, made from a seed alone: a tree of files below the source
// folder, sometimes a destination that holds files already, and the Copy settings of a run over it.
#pragma once

#include "engine/CopySettings.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct RandomCase {
    // Now and then a folder of the tree outside the destination that is to refuse listing when the
    // case runs as on Windows; else empty.
    std::wstring refusing;
    // The destination as the tree spells it when settings.destination is written otherwise; else empty.
    std::wstring destinationFolder;
    // Folder links between the source and the destination: each link and the folder it leads to.
    std::vector<std::pair<std::wstring, std::wstring>> links;
};

// Writes the case's files below `root`, whose folder "src" (settings.source) exists and is empty,
// and sets the destination, mask, separator and deleteSource of the settings. The tree reaches
// six folders deep and holds names with dots, blanks, underscores, letters beyond ASCII and beyond
// the Basic Multilingual Plane, names that differ only in letter case, names that end in a dot or
// a blank and device names, read-only and hidden files, empty files and files of up to 1 MiB; many
// cases hold files whose targets meet other files or each other. The destination is a folder of
// its own, the source folder or a folder inside it, written plainly or otherwise: with slashes, in
// the extended form, by its short name, through another drive letter or through a folder link
// made in `links`. The mask may have a folder part, slashes, or the source's full path in front.
// Now and then a folder link in the destination leads into the source, or one in the source into
// the destination, each at any depth.
RandomCase MakeRandomCase(std::uint64_t seed, const std::wstring& root, const std::wstring& links, CopySettings& settings);
