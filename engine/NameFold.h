// Letter case as the file system compares names: each UTF-16 code unit in upper case by the
// platform's own table for file names, the one that CompareStringOrdinal ignoring case applies, so
// that two names fold alike exactly when the platform takes them for one. Pure text work without
// a platform call, shared by the mask matcher, the naming and the copy plan, and by the native
// fuzzers.
#pragma once

#include <string>
#include <string_view>

// The code unit in upper case; one outside the table (a surrogate too) stays as it is.
wchar_t FoldChar(wchar_t c);
// The text with every code unit folded.
std::wstring FoldName(std::wstring_view text);
// Whether the platform takes the two names for one.
bool SameName(std::wstring_view a, std::wstring_view b);
