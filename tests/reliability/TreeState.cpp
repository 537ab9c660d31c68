#include "tests/reliability/TreeState.h"

#include "engine/PlatformPath.h"
#include "tests/driver/FolderTree.h"

#include <stdexcept>

std::wstring PathKey(const std::wstring& path)
{
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            throw std::runtime_error("GetFullPathNameW failed for " + Utf8(path));
        const bool fits = length < full.size();
        full.resize(length); // when it did not fit, `length` is the size needed
        if (fits)
            break;
    }
    while (!full.empty() && full.back() == L'\\')
        full.pop_back();
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    return full;
}

std::wstring ParentKey(const std::wstring& key)
{
    const size_t last = key.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : key.substr(0, last);
}

bool IsAtOrBelow(const std::wstring& key, const std::wstring& folderKey)
{
    return key == folderKey || (key.size() > folderKey.size() && key.starts_with(folderKey) &&
                                key[folderKey.size()] == L'\\');
}

TreeState ReadTree(const std::wstring& folder)
{
    const FolderTree read = FolderTree::Read(folder);
    TreeState tree;
    tree.folders[PathKey(folder)] = folder;
    for (const std::wstring& relative : read.folders)
        tree.folders[PathKey(folder + L"\\" + relative)] = folder + L"\\" + relative;
    for (const auto& [relative, bytes] : read.files) {
        const std::wstring path = folder + L"\\" + relative;
        tree.files[PathKey(path)] = FileState{path, bytes, GetFileAttributesW(PlatformPath(path).c_str())};
    }
    return tree;
}

std::vector<std::string> ChangesOutside(const TreeState& before, const TreeState& after, const std::wstring& folderKey,
                                        const std::set<std::wstring>& mayBeRemoved)
{
    std::vector<std::string> changes;
    for (const TreeState* state : {&before, &after}) {
        for (const auto& [key, file] : state->files) {
            if (IsAtOrBelow(key, folderKey))
                continue;
            const auto was = before.files.find(key);
            const auto now = after.files.find(key);
            if (was == before.files.end())
                changes.push_back("written: " + Utf8(file.path));
            else if (now == after.files.end() && !mayBeRemoved.contains(key))
                changes.push_back("removed: " + Utf8(file.path));
            else if (now != after.files.end() && now->second.bytes != was->second.bytes && state == &after)
                changes.push_back("changed: " + Utf8(file.path));
        }
    }
    for (const auto& [key, path] : after.folders) {
        if (!before.HasFolder(key) && !IsAtOrBelow(key, folderKey) && !IsAtOrBelow(folderKey, key))
            changes.push_back("folder made: " + Utf8(path));
    }
    return changes;
}

std::string DescribeTree(const TreeState& tree, const std::wstring& root)
{
    auto relative = [&](const std::wstring& path) {
        return path.starts_with(root + L"\\") ? path.substr(root.size() + 1) : path;
    };
    std::string text;
    for (const auto& [key, path] : tree.folders) {
        if (path != root)
            text += "  " + Utf8(relative(path)) + "\\\n";
    }
    for (const auto& [key, file] : tree.files) {
        text += "  " + Utf8(relative(file.path)) + "  " + std::to_string(file.bytes.size()) + " bytes";
        if (file.attributes & FILE_ATTRIBUTE_READONLY)
            text += " read-only";
        if (file.attributes & FILE_ATTRIBUTE_HIDDEN)
            text += " hidden";
        text += "\n";
    }
    return text;
}
