// What a folder holds, read in one go for comparing before and after a run: every file below it
// with its content, and every folder below it, as paths relative to it.
#pragma once

#include <map>
#include <set>
#include <string>

struct FolderTree {
    std::map<std::wstring, std::string> files; // "sub\deep\c.txt" -> content
    std::set<std::wstring> folders;           // "sub", "sub\deep"

    // Reads the tree below a folder; an absent folder reads as empty.
    static FolderTree Read(const std::wstring& folder);
    // Writes the files below a folder, creating the folders they need.
    static void Write(const std::wstring& folder, const std::map<std::wstring, std::string>& files);
};
