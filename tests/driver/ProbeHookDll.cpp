// probe_hook.dll: the hook procedure that ProbeHook installs for the whole session. It acts only
// in a process whose environment names one of ProbeHook's variables, and passes every event on.
#include "tests/driver/ProbeHook.h"

namespace {

// Per process: each process that loads the DLL has its own copy.
bool firstWindowSeen = false;
bool firstDialogSeen = false;

bool HasVariable(const wchar_t* name, wchar_t* value = nullptr, DWORD capacity = 0)
{
    const DWORD length = GetEnvironmentVariableW(name, value, capacity);
    return length != 0 && (value == nullptr || length < capacity);
}

bool IsDialogClass(LPCWSTR className)
{
    constexpr WORD dialogAtom = 0x8002; // #32770
    return IS_INTRESOURCE(className) ? LOWORD(reinterpret_cast<ULONG_PTR>(className)) == dialogAtom
                                     : lstrcmpW(className, L"#32770") == 0;
}

void WriteExitRecord()
{
    wchar_t file[MAX_PATH];
    if (!HasVariable(ProbeHook::exitRecord, file, MAX_PATH))
        return;
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    wchar_t* folder = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, size * sizeof(wchar_t)));
    const DWORD length = folder ? GetCurrentDirectoryW(size, folder) : 0;
    const HANDLE handle = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(handle, folder, length * sizeof(wchar_t), &written, nullptr);
        CloseHandle(handle);
    }
    HeapFree(GetProcessHeap(), 0, folder);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeCbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        if (!firstWindowSeen) {
            firstWindowSeen = true;
            static wchar_t folder[32768];
            if (HasVariable(ProbeHook::startFolder, folder, 32768))
                SetCurrentDirectoryW(folder);
        }
        const auto* creation = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        if (!firstDialogSeen && IsDialogClass(creation->lpcs->lpszClass)) {
            firstDialogSeen = true;
            if (HasVariable(ProbeHook::failFirstDialog))
                return 1; // a nonzero answer makes the creation fail
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    // A non-null `reserved` at detach means the process is exiting, not that the hook went away.
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr)
        WriteExitRecord();
    return TRUE;
}
