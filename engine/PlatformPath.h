// The form in which the engine and the main dialog hand a path to the platform's file calls.
// Windows refuses a plain path whose full form reaches MAX_PATH (260) characters, and folder
// creation from 248, in a program that does not declare itself long-path aware, as Ferrix cannot
// without a manifest. The extended-length form, "\\?\" and the full path, reaches files up to
// about 32,767 characters.
#pragma once

#include <cstddef>
#include <string>

// From these lengths of its full form the platform refuses a plain path: in file calls and
// directory searches, and in folder creation.
constexpr size_t plainPathLimit = 260;
constexpr size_t plainFolderLimit = 248;

// The process's current directory, however long.
std::wstring CurrentDirectory();

// The path as the platform resolves it: made full against the current directory, slashes turned
// into backslashes, "." and ".." taken out, trailing dots and blanks dropped from the last name
// (and one trailing dot from each folder name). Empty when the platform cannot resolve it.
std::wstring FullPath(const std::wstring& path);

// The text by which two paths of one file or folder compare equal, when they name it alike but for
// letter case, the extended form, slashes, "." and ".." and a trailing backslash: the full path in
// its plain form, folded as the file system compares names. Empty when the platform cannot
// resolve the path.
std::wstring ComparablePath(const std::wstring& path);

// The path itself when its full form is shorter than `limit`, so that whatever the platform
// accepts goes on exactly as given. Otherwise the extended-length form of the full form,
// "\\?\C:\..." or "\\?\UNC\server\share\...": the extended form turns the platform's resolution
// off, and built from the full form it reaches the very file that the plain path names, never one
// with a trailing dot or blank that the plain path would not reach. Paths already in the
// extended or device form, and paths that cannot be resolved, are returned as they are.
std::wstring PlatformPath(const std::wstring& path, size_t limit = plainPathLimit);

// The path made full against `base` (a full path, in the plain or the extended form) with every name
// taken literally, in the extended form (AppendLiterally): slashes are read as backslashes. A path
// already in the extended or device form is returned as it is; a drive-relative one ("D:x") starts
// from that drive's current folder and a rooted one ("\x") from the root of `base`.
std::wstring LiteralPath(const std::wstring& base, const std::wstring& path);
