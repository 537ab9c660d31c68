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

// Where the entry's copy is written: the target path with the trailing dots and blanks of each
// folder name behind the destination prefix dropped, as the platform drops them when it makes such
// a folder, so that every copy reaches the folder made for it (the separator " / " makes "2019 \"
// into the folder 2019). Empty when no copy may be written there: a name behind the prefix holds a
// colon (Windows reads C:\x\a.txt folded to dst\C:.x.a.txt as the stream .x.a.txt of a file C),
// is a device's (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9 and LPT0 to LPT9, with ¹, ² and
// ³ for the digit too, whatever follows the first dot), is a file name that ends in a dot or a
// blank, which the platform would drop, or a folder name of dots and blanks that it would read as
// another folder. Behind a destination in the extended form, "." and ".." and empty names are
// resolved, as the plain form of that destination would have them resolved. `reservedName`, when
// given, is set when the name refused is a device's.
std::wstring MakeCopyPath(const NamingRule& rule, const std::wstring& entry, bool* reservedName = nullptr);
