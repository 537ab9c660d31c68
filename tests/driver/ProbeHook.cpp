#include "tests/driver/ProbeHook.h"

#include "tests/support/TempFolder.h"

#include <stdexcept>

ProbeHook::ProbeHook(DWORD threadId)
{
    module = LoadLibraryW(L"" PROBE_HOOK_DLL); // a narrow literal from the build, widened by concatenation
    const auto procedure = module ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, "ProbeCbtProc"))) : nullptr;
    if (procedure != nullptr)
        hook = SetWindowsHookExW(WH_CBT, procedure, module, threadId);
    if (hook == nullptr) {
        const DWORD error = GetLastError();
        if (module != nullptr)
            FreeLibrary(module);
        throw std::runtime_error("the probe hook could not be installed (error " + std::to_string(error) + ")");
    }
}

ProbeHook::~ProbeHook()
{
    UnhookWindowsHookEx(hook);
    FreeLibrary(module);
}

std::wstring ProbeHook::ReadExitRecord(const std::wstring& file)
{
    const std::string bytes = ReadFileBytes(file);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}
