// Whether a file's own (long) name matches a mask's last component by the rules of the
// platform's directory search. The search also tries a file's 8.3 short name, so "*.htm" finds
// page.html through PAGE~1.HTM, and Wine's search is looser still ("*." takes a.b); the listing
// takes an entry only when its long name matches here, so that a mask names the same files
// everywhere. Pure text work; the pattern is read once, for all the names of a listing.
#pragma once

#include <string>

class NameMatch {
public:
    // "*" matches any run of characters, "?" one character, letter case aside (as the file system
    // compares names); and, as the directory search reads a pattern, "*.*" matches every name,
    // "?" also matches nothing before a dot or at the end, a dot before a wildcard or at the end
    // also matches the end of the name, and "*" before a dot stops at the name's last dot ("*."
    // matches the names without an extension). Every other character, a semicolon too, stands for
    // itself.
    explicit NameMatch(const std::wstring& pattern);

    bool Matches(const std::wstring& name) const;

private:
    std::wstring expression; // the pattern folded, its wildcards in the search's own reading
};
