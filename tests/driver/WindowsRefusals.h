// Fault injection for tests, never part of the product: while an object exists, the file calls
// that one module of this process makes through its import table refuse what Windows refuses and
// Wine does not, and every other call goes on to the real function unchanged.
// - A plain path (not in the extended form "\\?\...") whose full form reaches MAX_PATH (260)
//   characters fails with ERROR_PATH_NOT_FOUND, as Windows fails it for a program that does not
//   declare itself long-path aware (a full form from 260 characters on does not fit the buffer
//   that the platform resolves plain paths into). Folder creation, which keeps room for an 8.3
//   name below the folder, fails from 248 characters with ERROR_FILENAME_EXCED_RANGE.
// - A search in one of the folders named (their full forms compared without regard to case), or an
//   open of one of them to read its entries, fails with ERROR_ACCESS_DENIED, as in a folder whose
//   access list denies listing; the folder itself stays visible in its parent, and a folder below
//   it can still be searched by its path.
// - A current directory whose full form, without a trailing backslash, has 259 or more characters
//   fails with ERROR_FILENAME_EXCED_RANGE, whatever the form of the path.
// - MoveFileExW with MOVEFILE_REPLACE_EXISTING onto an existing file that another handle holds
//   fails with ERROR_ACCESS_DENIED, as Windows refuses a rename that is not POSIX's over a file
//   while any handle is open on it, even one that shares deletion. Held is told by an open of the
//   target that shares nothing, through the next function, failing with a sharing violation.
//   Caught: a handle with read, write or delete access, in any process. Not caught: a handle with
//   only attribute or synchronize access, which takes no part in sharing, and a handle opened
//   after the check. Wine: 8.0 refuses such a rename itself, an attribute-only handle too.
// - The folders named hidden and system (folders that Wine cannot mark so) report both attributes
//   added wherever a file call covered reads their attributes: as entries of their parent's
//   listing (GetFileInformationByHandleEx with FileIdBothDirectory[Restart]Info or
//   FileIdExtdDirectory[Restart]Info), to GetFileInformationByHandle, to GetFileAttributesW and
//   as the first entry of FindFirstFileW. Not to FindNextFileW, nor to the other information
//   classes (FileBasicInfo among them).
// - Every file and folder at or below the identity folder reports the identity that its mode
//   gives, as drives give them: the same for all of them (a cloned volume, a drive that reuses
//   ids), id 0 or id all ones (a file system without ids). Through the entries of a listing and
//   through FileIdInfo and GetFileInformationByHandle on a handle; the entries "." and "..", and
//   every other way of reading an identity, keep the real one.
// Files and folders are known by the path by which the platform reaches them in the end
// (GetFinalPathNameByHandleW, links and drive letters resolved), so any spelling of them counts;
// a named folder must be there when the object is made. The calls covered: CreateDirectoryW,
// CreateFileW, CopyFileW, DeleteFileW, SetFileAttributesW, GetFileAttributesW, FindFirstFileW,
// SetCurrentDirectoryW, GetFileInformationByHandleEx, GetFileInformationByHandle and, in a module
// that imports it, MoveFileExW. The compiler may keep an import's address for the rest of a
// function, so the code under test is to start after the object and end before it goes. One object
// at a time per process, owned by a test, or by the probe in a driven process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class WindowsRefusals {
public:
    // What the files and folders at or below the identity folder report as their identity.
    enum class Identity {
        Same,   // one volume serial and one id for all of them
        Zero,   // id 0
        AllOnes // id all ones, 64-bit and 128-bit
    };
    // Each member has a default, so that a designated initializer may name only those it needs.
    struct Options {
        std::vector<std::wstring> unlistable{};   // folders that refuse listing
        std::vector<std::wstring> hiddenSystem{}; // folders that carry the hidden and the system attribute
        std::wstring identityFolder{};            // none when empty
        Identity identity = Identity::Same;
    };

    // Patches the import table of `module`, the process's executable when null. Throws when it
    // does not import every call covered, or a folder named cannot be opened.
    explicit WindowsRefusals(const std::vector<std::wstring>& unlistable = {}, HMODULE module = nullptr);
    explicit WindowsRefusals(const Options& options, HMODULE module = nullptr);
    // Puts the real functions back.
    ~WindowsRefusals();
    WindowsRefusals(const WindowsRefusals&) = delete;
    WindowsRefusals& operator=(const WindowsRefusals&) = delete;

private:
    void Restore();

    const HMODULE module;
    std::vector<size_t> patched; // the calls, by their place in the table of those covered, now refused
};
