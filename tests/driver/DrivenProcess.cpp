#include "tests/driver/DrivenProcess.h"

#include "tests/driver/RemoteControls.h"

#include <stdexcept>

namespace {

// The driver's own environment with the given variables added or replaced, as a block for
// CreateProcessW: "name=value" strings ending in an empty one.
std::wstring EnvironmentBlock(const std::map<std::wstring, std::wstring>& additions)
{
    std::map<std::wstring, std::wstring> variables;
    wchar_t* own = GetEnvironmentStringsW();
    for (const wchar_t* entry = own; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        const size_t equals = text.find(L'=', 1); // names such as "=C:" begin with '='
        if (equals != std::wstring::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    FreeEnvironmentStringsW(own);
    for (const auto& [name, value] : additions)
        variables[name] = value;
    std::wstring block;
    for (const auto& [name, value] : variables)
        block += name + L"=" + value + L'\0';
    block += L'\0';
    return block;
}

} // namespace

DrivenProcess::DrivenProcess(const std::wstring& commandLine, const std::wstring& currentDirectory,
                             const std::map<std::wstring, std::wstring>& environment, bool probed)
{
    std::wstring line = commandLine; // CreateProcessW may write into it
    std::wstring block = EnvironmentBlock(environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // A probed process starts suspended, so that the hook is on its main thread before it runs.
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT | (probed ? CREATE_SUSPENDED : 0), block.data(),
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &started))
        throw std::runtime_error("CreateProcessW of " + Utf8(commandLine) + " failed with error " +
                                 std::to_string(GetLastError()));
    process = started.hProcess;
    processId = started.dwProcessId;
    if (probed) {
        try {
            probe = std::make_unique<ProbeHook>(started.dwThreadId);
        } catch (...) {
            TerminateProcess(process, 1);
            CloseHandle(started.hThread);
            CloseHandle(process);
            throw;
        }
        ResumeThread(started.hThread);
    }
    CloseHandle(started.hThread);
}

DrivenProcess::~DrivenProcess()
{
    if (Running()) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, defaultWait);
    }
    CloseHandle(process);
}

void DrivenProcess::Terminate() const
{
    TerminateProcess(process, 1);
    WaitForExit();
}

bool DrivenProcess::Running() const
{
    return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> DrivenProcess::Windows() const
{
    return TopWindowsOf(processId);
}

HWND DrivenProcess::FindWindow(const WindowQuery& query) const
{
    for (HWND window : Windows())
        if (query.Matches(window))
            return window;
    return nullptr;
}

HWND DrivenProcess::WaitForWindow(const WindowQuery& query, DWORD timeout) const
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindow(query)) != nullptr || !Running(); }, timeout);
    if (found == nullptr)
        throw std::runtime_error((Running() ? "no " : "the process ended without ") + query.Describe() +
                                 " appeared within " + std::to_string(timeout) + " ms; it shows " + DescribeWindows());
    return found;
}

void DrivenProcess::WaitForWindowGone(HWND window, const std::string& what, DWORD timeout) const
{
    WaitOrThrow([&] { return !IsWindow(window) || !IsWindowVisible(window); }, what + " to close", timeout);
}

DWORD DrivenProcess::WaitForExit(DWORD timeout) const
{
    if (WaitForSingleObject(process, timeout) != WAIT_OBJECT_0)
        throw std::runtime_error("the process did not end within " + std::to_string(timeout) + " ms; it shows " +
                                 DescribeWindows());
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return code;
}

std::string DrivenProcess::DescribeWindows() const
{
    std::string text;
    for (HWND window : Windows())
        text += (text.empty() ? "" : ", ") + Utf8(ClassOf(window)) + " \"" + Utf8(CaptionOf(window)) + "\"";
    return text.empty() ? "no window" : text;
}
