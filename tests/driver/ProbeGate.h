// Holds a driven process at a known point until the test lets it go on: the first copy or
// directory search of the program that names each given name waits at the gate (see ProbeHook).
// With it a test sees a run while a file of its choice is being copied, or while a folder is being
// listed, however fast the machine. Owned by the test; pass Variables() to the DrivenProcess.
#pragma once

#include "tests/driver/Wait.h"

#include <windows.h>

#include <map>
#include <string>

class ProbeGate {
public:
    // `names`: file or folder names separated by '|', such as L"a.jpg|e.jpg".
    explicit ProbeGate(const std::wstring& names);
    ~ProbeGate();
    ProbeGate(const ProbeGate&) = delete;
    ProbeGate& operator=(const ProbeGate&) = delete;

    // The probe variables that set the gate in a driven process.
    std::map<std::wstring, std::wstring> Variables() const;
    // Waits until the process holds a call at the gate; throws, naming `what`, on timeout.
    void WaitUntilHeld(const std::string& what, DWORD timeout = defaultWait) const;
    // Lets the held call go on once the program has handled what the test posted to it before,
    // such as a key or a click.
    void Open() const;

private:
    std::wstring names;
    std::wstring base;
    HANDLE held = nullptr;
    HANDLE open = nullptr;
};
