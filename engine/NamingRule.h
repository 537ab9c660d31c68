// Target naming: folds a listed file's path relative to the source folder into its target name,
// with the separator in place of every backslash. Pure text work, built once per run.
#pragma once

#include <string>

struct NamingRule {
    std::wstring sourcePrefix;        // source folder with a trailing backslash
    std::wstring destinationPrefix;   // destination folder with a trailing backslash
    std::wstring normalizedSeparator; // slashes turned into backslashes when it holds a delimiter
    bool subfolderMode = false;       // the separator makes folders that the worker creates
};

// The folder with a backslash appended unless it is empty or already ends in one.
std::wstring EnsureTrailingDelimiter(std::wstring folder);

NamingRule MakeNamingRule(const std::wstring& source, const std::wstring& destination,
                          const std::wstring& separator);

// The entry with every backslash replaced by the separator; inserted text is never rescanned.
std::wstring FoldPath(const std::wstring& entry, const std::wstring& separator);

// Where the entry is copied to: the destination prefix and the folded entry.
std::wstring MakeTargetPath(const NamingRule& rule, const std::wstring& entry);

// What the progress dialog shows as the entry's origin: the source prefix and the entry.
std::wstring MakeSourceDisplayPath(const NamingRule& rule, const std::wstring& entry);

// Whether the target holds a colon behind the destination prefix, as one folded from an absolute
// mask's entry does (C:\x\a.txt gives dst\C:.x.a.txt): Windows reads such a name as a stream of
// another file, here the stream .x.a.txt of a file C, so no copy may be made to it.
bool NamesAStream(const NamingRule& rule, const std::wstring& target);
