#include "tests/reliability/TreeState.h"

#include "tests/support/TempFolder.h"

#include <algorithm>
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

std::wstring FolderKey(const std::wstring& path)
{
    return ParentKey(PathKey(path + L"\\x"));
}

std::wstring LiteralKey(const std::wstring& path)
{
    std::wstring rest = path.starts_with(L"\\\\?\\") ? path.substr(4) : path;
    std::replace(rest.begin(), rest.end(), L'/', L'\\');
    if (rest.size() < 3 || rest[1] != L':' || rest[2] != L'\\') {
        std::wstring current(GetCurrentDirectoryW(0, nullptr), L'\0');
        current.resize(GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data()));
        rest = current + L"\\" + rest;
    }
    std::wstring key = rest.substr(0, 2); // the drive
    for (size_t from = 3; from <= rest.size();) {
        const size_t end = std::min(rest.find(L'\\', from), rest.size());
        const std::wstring name = rest.substr(from, end - from);
        if (name == L"..")
            key = key.size() > 2 ? ParentKey(key) : key;
        else if (!name.empty() && name != L".")
            key += L"\\" + name;
        from = end + 1;
    }
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
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

std::wstring TreeState::Resolved(std::wstring key) const
{
    // A link that leads up the tree may be met again along the way; a few rounds reach the end.
    for (int round = 0; round < 64; ++round) {
        const std::pair<const std::wstring, Link>* longest = nullptr;
        for (const auto& link : links) {
            if (IsAtOrBelow(key, link.first) && (longest == nullptr || link.first.size() > longest->first.size()))
                longest = &link;
        }
        if (longest == nullptr)
            break;
        key = longest->second.target + key.substr(longest->first.size());
    }
    return key;
}

namespace {

// Reads what is below `path` into the tree, links as links.
void ReadBelow(const std::wstring& path, const std::map<std::wstring, std::wstring>& linkTargets, TreeState& tree)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((L"\\\\?\\" + path + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        const std::wstring below = path + L"\\" + name;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring key = LiteralKey(below);
        if (const auto link = linkTargets.find(key); link != linkTargets.end()) {
            tree.links[key] = {below, link->second};
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree.folders[key] = below;
            ReadBelow(below, linkTargets, tree);
        } else {
            tree.files[key] = FileState{below, ReadFileBytes(L"\\\\?\\" + below), found.dwFileAttributes};
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

TreeState ReadTree(const std::wstring& folder, const std::vector<std::pair<std::wstring, std::wstring>>& folderLinks)
{
    std::map<std::wstring, std::wstring> linkTargets;
    for (const auto& [link, target] : folderLinks)
        linkTargets[LiteralKey(link)] = LiteralKey(target);
    TreeState tree;
    tree.folders[LiteralKey(folder)] = folder;
    ReadBelow(folder, linkTargets, tree);
    return tree;
}

std::vector<std::string> ChangesOutside(const TreeState& before, const TreeState& after,
                                        const std::vector<std::wstring>& folderKeys,
                                        const std::set<std::wstring>& mayBeRemoved)
{
    const auto inside = [&folderKeys](const std::wstring& key) {
        return std::any_of(folderKeys.begin(), folderKeys.end(),
                           [&key](const std::wstring& folder) { return IsAtOrBelow(key, folder); });
    };
    std::vector<std::string> changes;
    for (const TreeState* state : {&before, &after}) {
        for (const auto& [key, file] : state->files) {
            if (inside(key))
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
        if (!before.HasFolder(key) && !inside(key) && !IsAtOrBelow(folderKeys.front(), key))
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
    for (const auto& [key, link] : tree.links)
        text += "  " + Utf8(relative(link.path)) + " -> " + Utf8(link.target) + "\n";
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
