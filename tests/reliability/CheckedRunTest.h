// The fixture of the tests that hold a whole run against the outcome that the rules give
// (ExpectedRun): the real progress dialog runs the settings over the tree below `root`, and every
// difference from that outcome fails the test. Each test owns one.
#pragma once

#include "tests/ui/ProgressRunTest.h"

#include <string>
#include <vector>

class CheckedRunTest : public ProgressRunTest {
protected:
    // Runs the settings over the tree as it is now and checks that the run handled the files that
    // the listing finds and named their targets by the naming rule, that every listed file's
    // content is still at its source or, in a move, at its target, that a copy leaves its sources
    // alone, that nothing outside the destination changes but a move's sources, and that every
    // file and folder ends as expected. On a failure it prints `caseName`, the settings, the tree
    // before the run and the entries in the order handled.
    void RunAndCheck(const std::string& caseName);

    // Whether the run refuses what Windows refuses (WindowsRefusals), the folders in `unlistable`
    // refusing listing; the tree is read and the outcome worked out without the refusals.
    bool asOnWindows = false;
    std::vector<std::wstring> unlistable;
    // The destination as the tree spells it, when settings.destination reaches it by another text
    // (a folder link, another drive letter, the 8.3 short name, the extended form); empty: the same.
    std::wstring destinationFolder;
    // Folder links in the tree, each with the folder it leads to (full paths).
    std::vector<std::pair<std::wstring, std::wstring>> folderLinks;
};
