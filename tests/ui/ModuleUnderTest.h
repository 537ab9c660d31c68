// The PE whose resource section the user-interface resource tests check, ferrix.exe as the build
// names it in FERRIX_RESOURCE_MODULE, loaded once as a data file for the whole test program and
// released at exit.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

class ModuleUnderTest {
public:
    static const ModuleUnderTest& Get();
    ModuleUnderTest(const ModuleUnderTest&) = delete;
    ModuleUnderTest& operator=(const ModuleUnderTest&) = delete;

    HMODULE Handle() const { return module; }
    const std::wstring& Path() const { return path; }
    // The bytes of one resource in language 0x0415 (Polish); empty when there is none.
    std::string_view Resource(const wchar_t* type, const wchar_t* name) const;

private:
    ModuleUnderTest();
    ~ModuleUnderTest();

    std::wstring path;
    HMODULE module = nullptr;
};
