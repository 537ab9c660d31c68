#include "tests/reliability/CheckedRunTest.h"

#include "tests/reliability/ExpectedRun.h"
#include "tests/reliability/TreeState.h"
#include "tests/driver/WindowsRefusals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace {

// The entries that the run handled and the targets it named, in its order, from its "From:" and
// "To:" lines.
struct Handled {
    std::vector<std::wstring> entries;
    std::vector<std::wstring> targets;
};

Handled HandledEntries(const ObservedProgressDialog::Trace& trace, const std::wstring& source)
{
    Handled handled;
    for (const std::wstring& line : trace) {
        if (line.starts_with(L"from "))
            handled.entries.push_back(line.substr(5 + source.size() + 1));
        else if (line.starts_with(L"to "))
            handled.targets.push_back(line.substr(3));
    }
    return handled;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

// Which file of the tree before the run a content came from, for failure messages.
std::string Origin(const TreeState& before, const std::wstring& root, const std::string& bytes)
{
    if (bytes.empty())
        return "empty content";
    for (const auto& [key, file] : before.files) {
        if (file.bytes == bytes)
            return "the content of " + Utf8(file.path.substr(root.size() + 1));
    }
    return std::to_string(bytes.size()) + " bytes of unknown content";
}

} // namespace

void CheckedRunTest::RunAndCheck(const std::string& caseName)
{
    const TreeState before = ReadTree(root.Path(), folderLinks);
    const std::vector<std::wstring> refusing = asOnWindows ? unlistable : std::vector<std::wstring>{};
    CopySettings reached = settings; // the destination as the tree spells it
    if (!destinationFolder.empty())
        reached.destination = destinationFolder;
    ExpectedEntries listing;
    {
        const CurrentDirectoryScope inSource(settings.source);
        listing = ExpectedListing(before, settings.mask, refusing, reached.destination);
    }

    ObservedProgressDialog dialog(settings);
    {
        std::optional<WindowsRefusals> windows;
        if (asOnWindows)
            windows.emplace(unlistable);
        Run(dialog); // bounded: the dialog fails the test and cancels after 30 s
    }
    const TreeState after = ReadTree(root.Path(), folderLinks);
    const Handled handled = HandledEntries(dialog.trace, settings.source);

    EXPECT_EQ(Sorted(handled.entries), Sorted(listing.entries)) << "the run handled other files than the listing finds";
    EXPECT_TRUE(!dialog.trace.empty() && dialog.trace.back() == L"position " + std::to_wstring(handled.entries.size()))
        << "the run did not finish";

    const ExpectedRun expected(before, reached, handled.entries, listing.behindLink);
    std::vector<std::wstring> named;
    for (const std::wstring& entry : handled.entries)
        named.push_back(TargetOf(settings, entry));
    EXPECT_EQ(handled.targets, named) << "targets named otherwise than the naming rule says";

    // The promise itself, apart from the exact outcome below: each listed file's content is still at
    // its source, or in a move at a target of an entry that lists the same file (through a link).
    std::set<std::wstring> listedSources;
    std::map<std::wstring, std::vector<std::wstring>> targetsOfSource;
    for (size_t i = 0; i < handled.entries.size(); ++i) {
        listedSources.insert(expected.sourceKeys[i]);
        if (!expected.targetKeys[i].empty())
            targetsOfSource[expected.sourceKeys[i]].push_back(expected.targetKeys[i]);
    }
    for (size_t i = 0; i < handled.entries.size(); ++i) {
        const std::wstring& sourceKey = expected.sourceKeys[i];
        const std::string& content = before.files.at(sourceKey).bytes;
        const auto holds = [&](const std::wstring& key) {
            const auto file = after.files.find(key);
            return file != after.files.end() && file->second.bytes == content;
        };
        const std::vector<std::wstring>& targets = targetsOfSource[sourceKey];
        const bool kept = holds(sourceKey);
        const bool moved = std::any_of(targets.begin(), targets.end(), holds);
        if (settings.deleteSource)
            EXPECT_TRUE(kept || moved) << "lost: " << Utf8(handled.entries[i]);
        else
            EXPECT_TRUE(kept) << "a copy run changed its source " << Utf8(handled.entries[i]);
    }

    // Outside the destination only a move's deleted sources may differ, and only the destination's
    // own missing parents may be new folders. A link inside the destination takes what is written
    // through it inside too.
    std::vector<std::wstring> inside = {expected.destinationKey};
    for (const auto& [key, link] : before.links) {
        if (IsAtOrBelow(key, expected.destinationKey))
            inside.push_back(link.target);
    }
    for (const std::string& change :
         ChangesOutside(before, after, inside, settings.deleteSource ? listedSources : std::set<std::wstring>{}))
        ADD_FAILURE() << change << " (outside the destination)";

    // The exact outcome: every file where the rules put it, with the content of the last copy made to it.
    const std::wstring& rootPath = root.Path();
    for (const TreeState* state : {&expected.after, &after}) {
        for (const auto& [key, file] : state->files) {
            const auto should = expected.after.files.find(key);
            const auto is = after.files.find(key);
            if (should == expected.after.files.end())
                ADD_FAILURE() << Utf8(file.path) << " should not exist; it holds " << Origin(before, rootPath, is->second.bytes);
            else if (is == after.files.end())
                ADD_FAILURE() << Utf8(file.path) << " is missing; it should hold "
                              << Origin(before, rootPath, should->second.bytes);
            else if (state == &after && is->second.bytes != should->second.bytes)
                ADD_FAILURE() << Utf8(file.path) << " holds " << Origin(before, rootPath, is->second.bytes)
                              << "; it should hold " << Origin(before, rootPath, should->second.bytes);
        }
    }
    for (const TreeState* state : {&expected.after, &after}) {
        for (const auto& [key, path] : state->folders) {
            EXPECT_EQ(after.HasFolder(key), expected.after.HasFolder(key)) << "folder " << Utf8(path);
        }
    }
    // Keys cannot tell such names from the ones the rules give: a plain path never names a file or
    // folder whose name ends in a dot or a blank (Explorer cannot delete one), and no run makes one.
    auto endsInDotOrBlank = [](const std::wstring& path) { return path.ends_with(L'.') || path.ends_with(L' '); };
    for (const auto& [key, path] : after.folders)
        EXPECT_FALSE(!before.HasFolder(key) && endsInDotOrBlank(path)) << "folder made: " << Utf8(path);
    for (const auto& [key, file] : after.files)
        EXPECT_FALSE(!before.files.contains(key) && endsInDotOrBlank(file.path)) << "file made: " << Utf8(file.path);

    if (!HasFailure())
        return;
    std::string text = caseName + "\nsource " + Utf8(settings.source) + "\ndestination \"" + Utf8(settings.destination) +
                       "\"" + (destinationFolder.empty() ? "" : " reaching " + Utf8(destinationFolder)) + "\nmask \"" +
                       Utf8(settings.mask) + "\"\nseparator \"" + Utf8(settings.separator) + "\"\n" +
                       (settings.deleteSource ? "move\n" : "copy\n") + (asOnWindows ? "as on Windows\n" : "");
    for (const std::wstring& folder : refusing)
        text += "refusing listing: " + Utf8(folder) + "\n";
    text += "tree before the run:\n" + DescribeTree(before, rootPath) + "entries in the order handled:\n";
    for (size_t i = 0; i < handled.entries.size(); ++i)
        text += "  " + Utf8(handled.entries[i]) + " -> " +
                (i < handled.targets.size() ? Utf8(handled.targets[i]) : std::string("?")) + "\n";
    std::cout << text;
}
