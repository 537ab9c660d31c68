// A helper of the fault tests: another process that holds a file open without sharing, as a
// program working on it would. Usage: hold_file FILE READY RELEASE, where READY and RELEASE name
// events that the test has created: opens FILE with share mode 0, sets READY, waits for RELEASE
// (at most a minute, so that a failed test leaves no process behind) and closes the file.
// Exit code 0 when it held the file until released, 1 otherwise.
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return 1;
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    const HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, argv[3]);
    if (file == INVALID_HANDLE_VALUE || ready == nullptr || release == nullptr)
        return 1;
    SetEvent(ready);
    const bool released = WaitForSingleObject(release, 60000) == WAIT_OBJECT_0;
    CloseHandle(file);
    return released ? 0 : 1;
}
