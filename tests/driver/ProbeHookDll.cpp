// probe_hook.dll: the hook procedure that ProbeHook installs on a driven process's main thread,
// and what the probe does there on its variables. It passes every hook event on.
#include "tests/driver/ImportPatch.h"
#include "tests/driver/ProbeHook.h"
#include "tests/driver/WindowsRefusals.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

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

HINSTANCE probeModule = nullptr;

// The gate: the names still to be held, each followed by '|', and the gate's two events.
wchar_t holdNames[4096];
wchar_t heldEvent[MAX_PATH];
wchar_t openEvent[MAX_PATH];
CRITICAL_SECTION holdLock;

// A held call goes on only once the program's window thread has handled what the test posted to
// it before opening the gate (a key, a click): a sent message would not tell, as the thread may
// take sent messages while it is still handling a posted one (it does while it waits on another
// thread, for instance when a click activates its window). So the held thread posts a marker
// behind the test's messages, and a hook on the window thread tells when that thread takes it.
constexpr WPARAM handledMarker = 0x47415445;
DWORD windowThread = 0; // 0 until the hook is set
HANDLE markerTaken = nullptr;

LRESULT CALLBACK MarkerRetrieval(int code, WPARAM removed, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->hwnd == nullptr && message->message == WM_NULL &&
        message->wParam == handledMarker)
        SetEvent(markerTaken);
    return CallNextHookEx(nullptr, code, removed, lParam);
}

// Whether the path has a part (between backslashes) of a name still to be held; that name is then
// spent, so that each name holds one call.
bool TakeHeldName(const wchar_t* path)
{
    bool found = false;
    EnterCriticalSection(&holdLock);
    for (wchar_t* name = holdNames; *name != L'\0' && !found;) {
        wchar_t* end = name;
        while (*end != L'|')
            ++end;
        const int length = static_cast<int>(end - name);
        for (const wchar_t* part = path; *part != L'\0' && !found;) {
            const wchar_t* partEnd = part;
            while (*partEnd != L'\0' && *partEnd != L'\\')
                ++partEnd;
            found = partEnd - part == length &&
                    CompareStringOrdinal(part, length, name, length, TRUE) == CSTR_EQUAL;
            part = *partEnd == L'\0' ? partEnd : partEnd + 1;
        }
        if (found)
            lstrcpyW(name, end + 1);
        else
            name = end + 1;
    }
    LeaveCriticalSection(&holdLock);
    return found;
}

// Holds the calling thread: tells the test, then waits until the test opens the gate (at most two
// minutes, so that a failed test leaves no process waiting for good).
void Hold()
{
    const HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, heldEvent);
    const HANDLE open = OpenEventW(SYNCHRONIZE, FALSE, openEvent);
    if (held != nullptr && open != nullptr) {
        SetEvent(held);
        WaitForSingleObject(open, 120000);
        if (GetCurrentThreadId() != windowThread && PostThreadMessageW(windowThread, WM_NULL, handledMarker, 0))
            WaitForSingleObject(markerTaken, 120000);
    }
    if (held != nullptr)
        CloseHandle(held);
    if (open != nullptr)
        CloseHandle(open);
}

// Holds the calling thread when the path names a name still to be held.
void HoldIfNamed(const wchar_t* path)
{
    if (TakeHeldName(path))
        Hold();
}

// A copy part way: the first half of the source's bytes written to the target, made as the copy
// would make it, as a copy that the program is ended in leaves them.
void CopyFirstHalf(LPCWSTR source, LPCWSTR target, BOOL failIfExists)
{
    const HANDLE from = CreateFileW(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
    const HANDLE to = CreateFileW(target, GENERIC_WRITE, 0, nullptr, failIfExists ? CREATE_NEW : CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER size{};
    if (from != INVALID_HANDLE_VALUE && to != INVALID_HANDLE_VALUE && GetFileSizeEx(from, &size)) {
        char buffer[4096];
        for (LONGLONG left = size.QuadPart / 2; left > 0;) {
            DWORD read = 0, written = 0;
            if (!ReadFile(from, buffer, static_cast<DWORD>(std::min<LONGLONG>(left, sizeof buffer)), &read, nullptr) ||
                read == 0 || !WriteFile(to, buffer, read, &written, nullptr))
                break;
            left -= read;
        }
        FlushFileBuffers(to);
    }
    if (from != INVALID_HANDLE_VALUE)
        CloseHandle(from);
    if (to != INVALID_HANDLE_VALUE)
        CloseHandle(to);
}

bool holdPartWay = false;

decltype(&CopyFileW) realCopyFileW = nullptr;
decltype(&CreateFileW) realCreateFileW = nullptr;

BOOL WINAPI HeldCopyFileW(LPCWSTR source, LPCWSTR target, BOOL failIfExists)
{
    if (TakeHeldName(source)) {
        if (holdPartWay)
            CopyFirstHalf(source, target, failIfExists);
        Hold();
    }
    return realCopyFileW(source, target, failIfExists);
}

// Only a folder opened to read its entries: the listing of that folder.
HANDLE WINAPI HeldCreateFileW(LPCWSTR path, DWORD access, DWORD sharing, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE pattern)
{
    if ((access & FILE_LIST_DIRECTORY) && (flags & FILE_FLAG_BACKUP_SEMANTICS))
        HoldIfNamed(path);
    return realCreateFileW(path, access, sharing, security, disposition, flags, pattern);
}

// Sets the gate in the program's own calls when the process names one.
void SetGate()
{
    wchar_t base[MAX_PATH - 8];
    if (!HasVariable(ProbeHook::holdNames, holdNames, 4095) || !HasVariable(ProbeHook::holdEvents, base, MAX_PATH - 8))
        return;
    lstrcatW(holdNames, L"|");
    holdPartWay = HasVariable(ProbeHook::holdPartWay);
    lstrcpyW(heldEvent, base);
    lstrcatW(heldEvent, L"-held");
    lstrcpyW(openEvent, base);
    lstrcatW(openEvent, L"-open");
    InitializeCriticalSection(&holdLock);
    markerTaken = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    const HMODULE program = GetModuleHandleW(nullptr);
    PatchImport(program, "kernel32.dll", "CopyFileW", reinterpret_cast<void*>(HeldCopyFileW),
                reinterpret_cast<void**>(&realCopyFileW));
    PatchImport(program, "kernel32.dll", "CreateFileW", reinterpret_cast<void*>(HeldCreateFileW),
                reinterpret_cast<void**>(&realCreateFileW));
}

// The texts between the '|' of a variable's value, empty ones left out; none when the variable is
// not there.
std::vector<std::wstring> SplitVariable(const wchar_t* name)
{
    static wchar_t value[32768];
    std::vector<std::wstring> parts;
    if (!HasVariable(name, value, 32768))
        return parts;
    for (const wchar_t* part = value; *part != L'\0';) {
        const wchar_t* end = part;
        while (*end != L'\0' && *end != L'|')
            ++end;
        if (end != part)
            parts.emplace_back(part, end);
        part = *end == L'\0' ? end : end + 1;
    }
    return parts;
}

// Windows' refusals in the program's own calls when the process asks for them, after the gate, so
// that a refused call never reaches it. Kept until the process exits.
void RefuseAsWindows()
{
    if (!HasVariable(ProbeHook::windowsRefusals))
        return;
    WindowsRefusals::Options options;
    options.unlistable = SplitVariable(ProbeHook::windowsRefusals);
    options.hiddenSystem = SplitVariable(ProbeHook::hiddenSystemFolders);
    const std::vector<std::wstring> identities = SplitVariable(ProbeHook::identities);
    if (!identities.empty()) {
        const std::wstring& mode = identities.front();
        if (identities.size() != 2 || (mode != L"Same" && mode != L"Zero" && mode != L"AllOnes"))
            throw std::invalid_argument("PROBE_IDENTITIES is not a mode and a folder");
        options.identity = mode == L"Same"   ? WindowsRefusals::Identity::Same
                           : mode == L"Zero" ? WindowsRefusals::Identity::Zero
                                             : WindowsRefusals::Identity::AllOnes;
        options.identityFolder = identities.back();
    }
    new WindowsRefusals(options); // never deleted: the program calls it until the process exits
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeCbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        if (!firstWindowSeen) {
            firstWindowSeen = true;
            if (markerTaken != nullptr &&
                SetWindowsHookExW(WH_GETMESSAGE, MarkerRetrieval, probeModule, GetCurrentThreadId()) != nullptr)
                windowThread = GetCurrentThreadId();
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

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        probeModule = module;
        SetGate();
        try {
            RefuseAsWindows();
        } catch (const std::exception&) {
            return FALSE; // the probe does not load, and a test that needs the refusals fails
        }
    }
    // A non-null `reserved` at detach means the process is exiting, not that the hook went away.
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr)
        WriteExitRecord();
    return TRUE;
}
