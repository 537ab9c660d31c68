// A directory search of the platform (FindFirstFileW), closed with FindClose when the owner goes
// out of scope. The first entry is in `data` when the search could be started.
#pragma once

#include <windows.h>

#include <string>

class FindHandle {
public:
    FindHandle(const std::wstring& pattern, WIN32_FIND_DATAW& data) : handle(FindFirstFileW(pattern.c_str(), &data)) {}
    ~FindHandle()
    {
        if (IsOpen())
            FindClose(handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& data) { return FindNextFileW(handle, &data) != FALSE; }

private:
    HANDLE handle;
};
