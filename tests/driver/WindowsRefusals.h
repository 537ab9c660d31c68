// Fault injection for tests, never part of the product: while an object exists, the file calls
// that one module of this process makes through its import table refuse what Windows refuses and
// Wine does not, and every other call goes on to the real function unchanged.
// - A plain path (not in the extended form "\\?\...") whose full form reaches MAX_PATH (260)
//   characters fails with ERROR_PATH_NOT_FOUND, as Windows fails it for a program that does not
//   declare itself long-path aware (a full form from 260 characters on does not fit the buffer
//   that the platform resolves plain paths into). Folder creation, which keeps room for an 8.3
//   name below the folder, fails from 248 characters with ERROR_FILENAME_EXCED_RANGE.
// - A search in one of the folders named (their full forms compared without regard to case)
//   fails with ERROR_ACCESS_DENIED, as in a folder whose access list denies listing; the folder
//   itself stays visible in its parent, and a folder below it can still be searched by its path.
// - A current directory whose full form, without a trailing backslash, has 259 or more characters
//   fails with ERROR_FILENAME_EXCED_RANGE, whatever the form of the path.
// The calls covered: CreateDirectoryW, CreateFileW, CopyFileW, DeleteFileW, SetFileAttributesW,
// GetFileAttributesW, FindFirstFileW and SetCurrentDirectoryW. The compiler may keep an import's
// address for the rest of a function, so the code under test is to start after the object and end
// before it goes. One object at a time per process, owned by a test, or by the probe in a driven
// process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class WindowsRefusals {
public:
    // Patches the import table of `module`, the process's executable when null. Throws when it
    // does not import every call covered.
    explicit WindowsRefusals(const std::vector<std::wstring>& unlistable = {}, HMODULE module = nullptr);
    // Puts the real functions back.
    ~WindowsRefusals();
    WindowsRefusals(const WindowsRefusals&) = delete;
    WindowsRefusals& operator=(const WindowsRefusals&) = delete;

private:
    void Restore();

    const HMODULE module;
    std::vector<size_t> patched; // the calls, by their place in the table of those covered, now refused
};
