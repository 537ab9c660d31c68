// A probe in the driven process, for what windows alone cannot show or arrange: while a ProbeHook
// exists, a global WH_CBT hook (user32) loads probe_hook.dll into every process of the session
// that creates a window. The probe acts only in a process whose environment names one of the
// variables below, which a driver passes with DrivenProcess, so other processes are unaffected.
// Owned by the test; the hook is removed when the object goes away, after the process has ended.
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

    // Installs the hook; throws when that fails.
    ProbeHook();
    ~ProbeHook();
    ProbeHook(const ProbeHook&) = delete;
    ProbeHook& operator=(const ProbeHook&) = delete;

    // What the probe wrote into an exit record; throws when there is none.
    static std::wstring ReadExitRecord(const std::wstring& file);

private:
    HMODULE module = nullptr;
    HHOOK hook = nullptr;
};
