// A probe in a driven process, for what windows alone cannot show or arrange: a WH_CBT hook
// (user32) on the process's main thread, set before that thread runs, loads probe_hook.dll into
// that process alone. The probe acts on the variables below, which a driver passes in the
// process's environment with DrivenProcess. Owned by the DrivenProcess that it probes.
#pragma once

#include <windows.h>

#include <string>

class ProbeHook {
public:
    // Any value: the process's first dialog cannot be created, as if the system had refused it.
    static constexpr const wchar_t* failFirstDialog = L"PROBE_FAIL_FIRST_DIALOG";
    // A folder: made the current directory when the process creates its first window, standing in
    // for a program started there (Wine cannot start a program in a folder longer than MAX_PATH).
    static constexpr const wchar_t* startFolder = L"PROBE_START_FOLDER";
    // A file: when the process exits, its current directory at that moment is written there.
    static constexpr const wchar_t* exitRecord = L"PROBE_EXIT_RECORD";
    // Names separated by '|', and the base name of a ProbeGate's events: the first copy
    // (CopyFileW's source) or listing of a folder (CreateFileW opening a folder to read its
    // entries) whose path has a part of each name waits at the gate until the test opens it.
    static constexpr const wchar_t* holdNames = L"PROBE_HOLD";
    static constexpr const wchar_t* holdEvents = L"PROBE_HOLD_EVENTS";
    // Any value: a copy held at the gate has written the first half of its bytes to its target, as
    // a copy that the program is ended in leaves them.
    static constexpr const wchar_t* holdPartWay = L"PROBE_HOLD_PART_WAY";
    // Folders separated by '|', "|" alone for none: the program refuses what Windows refuses
    // (WindowsRefusals), these folders refusing listing, from before it runs to its exit.
    static constexpr const wchar_t* windowsRefusals = L"PROBE_WINDOWS_REFUSALS";
    // With windowsRefusals only. Folders separated by '|': they carry the hidden and the system
    // attribute. A mode of WindowsRefusals::Identity by its name, '|' and a folder ("Same|C:\x"):
    // the identities of everything at or below that folder.
    static constexpr const wchar_t* hiddenSystemFolders = L"PROBE_HIDDEN_SYSTEM_FOLDERS";
    static constexpr const wchar_t* identities = L"PROBE_IDENTITIES";

    // Hooks the thread, which may belong to another process and not have run yet; throws when
    // that fails.
    explicit ProbeHook(DWORD threadId);
    ~ProbeHook();
    ProbeHook(const ProbeHook&) = delete;
    ProbeHook& operator=(const ProbeHook&) = delete;

    // What the probe wrote into an exit record; throws when there is none.
    static std::wstring ReadExitRecord(const std::wstring& file);

private:
    HMODULE module = nullptr;
    HHOOK hook = nullptr;
};
