#include "engine/SameFolder.h"

#include "engine/FileHandle.h"
#include "engine/NamingRule.h"
#include "engine/PlatformPath.h"

#include <windows.h>

namespace {

// Whether a file made in `writable` under a new name shows through `other`.
bool SeenThrough(const std::wstring& writable, const std::wstring& other)
{
    static unsigned next = 0; // the run's own names; only the worker's thread makes them
    for (unsigned tries = 0; tries < 100; ++tries) {
        const std::wstring name = L"~ferrix-probe-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(next) + L".tmp";
        const FileHandle probe(CreateFileW(PlatformPath(EnsureTrailingDelimiter(writable) + name).c_str(), DELETE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (probe.IsOpen())
            return GetFileAttributesW(PlatformPath(EnsureTrailingDelimiter(other) + name).c_str()) !=
                   INVALID_FILE_ATTRIBUTES;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return false;
        ++next; // a name that somebody holds
    }
    return false;
}

} // namespace

bool IsSameFolder(const std::wstring& writable, const std::wstring& other)
{
    const std::wstring key = ComparablePath(writable);
    return (!key.empty() && key == ComparablePath(other)) || SeenThrough(writable, other);
}
