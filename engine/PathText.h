// What the engine and the dialogs ask of a path's text, one helper for each question, with no
// platform call: its form, its root, its folder part, its extended form. Shared by the naming and
// the native fuzzers as well as by the code that hands paths to the platform.
#pragma once

#include <cstddef>
#include <string>

// "\\?\...": the extended-length form, which the platform takes literally, name by name.
bool IsExtendedPath(const std::wstring& path);
// The extended form or the device form "\\.\...": texts the platform does not resolve.
bool IsExtendedOrDevicePath(const std::wstring& path);

// The length of the root that begins a path, which names no folder: "C:\", "\", "\\server\share\",
// "\\?\C:\" or "\\?\UNC\server\share\"; 0 when the path has none.
size_t RootLength(const std::wstring& path);

// Whether a folder text names the same folder whatever the current directory: a drive and a
// delimiter (C:\ or C:/), or two delimiters (a share or a device: \\server\share, \\?\C:\). Every
// other text depends on it, D:flat (on the current directory of drive D) and \flat (on the current
// drive) too.
bool IsFullPath(const std::wstring& text);
// A letter and a colon alone, "E:".
bool IsBareDrive(const std::wstring& text);

// The path up to and including its last backslash; "" when it has none.
std::wstring FolderPart(const std::wstring& path);
// What follows the last backslash; the whole path when it has none.
std::wstring LastName(const std::wstring& path);

// The extended-length form of a full path: "C:\x" gives "\\?\C:\x" and "\\server\share\x" gives
// "\\?\UNC\server\share\x". A path already in the extended or device form is returned as it is;
// any other text (a relative one) gives an empty one.
std::wstring ExtendedPath(const std::wstring& full);

// The plain form of a path given in the extended one: "\\?\C:\x" is C:\x and
// "\\?\UNC\server\share\x" is \\server\share\x; any other path as it is.
std::wstring PlainPath(const std::wstring& path);

// The names below a folder in the extended form, each taken as it is: "." and ".." are resolved
// (never above the folder's root) and empty names are passed over, but no trailing dot or blank is
// dropped, so that "d.\x" reaches the folder "d." and not "d". The names are delimited by
// backslashes. The result has no trailing backslash, unless it is the root.
std::wstring AppendLiterally(std::wstring extendedFolder, const std::wstring& names);
