// A fresh folder under the system's temporary folder for one test, removed with everything in
// it (read-only files included) when the object goes away. Paths are Windows paths.
#pragma once

#include <functional>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's full path, without a trailing backslash.
    const std::wstring& Path() const { return path; }
    // The full path of a relative path inside the folder.
    std::wstring operator/(const std::wstring& relative) const { return path + L"\\" + relative; }
    // The folder as reached through a share, "\\SERVER\SHARE": under Wine a link in the prefix's
    // dosdevices\unc folder, made on first use and removed with the folder; on Windows the drive's
    // administrative share. Throws when the share does not reach the folder.
    std::wstring Share();

private:
    std::wstring path;
    std::wstring share;     // as Share returned it, once it has been asked for
    std::wstring shareLink; // the Linux path of the link that Share made under Wine
};

// A drive whose root is the system's temporary folder, where every TempFolder lies: "R:" or one of
// a few letters after it that no other test uses. Under Wine a link named like the drive in the
// prefix's dosdevices folder, on Windows a substituted drive. Made by the first process that asks
// for it and left in place for every later one, since all reach the same folder through it and
// none can tell when the others are done; once it is there, the platform never sees it change.
// Throws when no letter reaches the folder.
std::wstring TempDrive();

// Writes a file with the given bytes, creating its missing folders; throws on failure.
void WriteFileBytes(const std::wstring& file, const std::string& bytes);
// The whole content of a file; throws when it cannot be opened.
std::string ReadFileBytes(const std::wstring& file);
bool FileExists(const std::wstring& file);
bool FolderExists(const std::wstring& folder);
// Creates a folder and its missing parents.
void MakeFolders(const std::wstring& folder);
// Removes a file or a whole folder tree, clearing read-only attributes on the way.
void RemoveTree(const std::wstring& path);

// Makes a folder the current directory for a scope and restores the previous one afterwards.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const std::wstring& folder);
    ~CurrentDirectoryScope();
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

private:
    std::wstring previous;
};

// The Linux path of a Windows path under Wine; empty elsewhere.
std::wstring LinuxPath(const std::wstring& path);
// Starts a Linux program under Wine and waits until `done` holds, for at most 30 s; false when it
// did not start or `done` did not come.
bool RunLinuxProgram(std::wstring command, const std::function<bool()>& done);

// Creates a folder link at `link` that points to `target` (a path relative to the link's folder).
// Under Wine, where CreateSymbolicLinkW creates nothing, it makes a Linux symbolic link instead
// (which RemoveTree removes).
// Returns false when neither way produced a link.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);
