// A program started for a test and worked from outside through its windows: started with an
// exact command line, in a given current directory and with variables added to the environment;
// its top-level windows are found by query with bounded waits; its end is awaited with its exit
// code; on request with the probe (ProbeHook) in it from its first window on. Owned by the test: a
// process still running when the object goes away is terminated, so that a failed test leaves
// nothing behind.
#pragma once

#include "engine/PlatformPath.h" // FullPath, for naming a program to start or a folder to give it
#include "tests/driver/ProbeHook.h"
#include "tests/driver/Wait.h"
#include "tests/driver/WindowQuery.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class DrivenProcess {
public:
    // The command line goes to CreateProcessW as it is, its first token naming the program. An
    // empty current directory is the driver's own. `probed`: the probe is hooked into the process
    // before it runs. Throws when the process cannot be started.
    explicit DrivenProcess(const std::wstring& commandLine, const std::wstring& currentDirectory = {},
                           const std::map<std::wstring, std::wstring>& environment = {}, bool probed = false);
    ~DrivenProcess();
    DrivenProcess(const DrivenProcess&) = delete;
    DrivenProcess& operator=(const DrivenProcess&) = delete;

    DWORD Id() const { return processId; }
    bool Running() const;

    // The process's visible top-level windows, in z-order from the top.
    std::vector<HWND> Windows() const;
    // The first of them that matches, or null.
    HWND FindWindow(const WindowQuery& query) const;
    // Waits for a matching window; throws, naming what was awaited and what the process shows,
    // when none has come within the timeout or the process has ended.
    HWND WaitForWindow(const WindowQuery& query, DWORD timeout = defaultWait) const;
    // Waits until the window no longer exists or is hidden; throws on timeout.
    void WaitForWindowGone(HWND window, const std::string& what, DWORD timeout = defaultWait) const;
    // Waits for the process to end and returns its exit code; throws on timeout.
    DWORD WaitForExit(DWORD timeout = defaultWait) const;
    // Ends the process at once, as a shutdown or a power cut ends a program, and waits until it
    // has gone; throws on timeout.
    void Terminate() const;

private:
    // The captions of the process's windows, for failure messages.
    std::string DescribeWindows() const;

    HANDLE process = nullptr;
    DWORD processId = 0;
    std::unique_ptr<ProbeHook> probe; // removed after the process has ended
};
