#include "tests/driver/ProbeGate.h"

#include "tests/driver/ProbeHook.h"

#include <stdexcept>

ProbeGate::ProbeGate(const std::wstring& names) : names(names)
{
    static int sequence = 0;
    base = L"ferrix-gate-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++sequence);
    held = CreateEventW(nullptr, FALSE, FALSE, (base + L"-held").c_str());
    open = CreateEventW(nullptr, FALSE, FALSE, (base + L"-open").c_str());
    if (held == nullptr || open == nullptr)
        throw std::runtime_error("the gate's events could not be created (error " + std::to_string(GetLastError()) +
                                 ")");
}

ProbeGate::~ProbeGate()
{
    CloseHandle(held);
    CloseHandle(open);
}

std::map<std::wstring, std::wstring> ProbeGate::Variables() const
{
    return {{ProbeHook::holdNames, names}, {ProbeHook::holdEvents, base}};
}

void ProbeGate::WaitUntilHeld(const std::string& what, DWORD timeout) const
{
    if (WaitForSingleObject(held, timeout) != WAIT_OBJECT_0)
        throw std::runtime_error("gave up after " + std::to_string(timeout) + " ms waiting for the run to be held at " +
                                 what);
}

void ProbeGate::Open() const
{
    SetEvent(open);
}
