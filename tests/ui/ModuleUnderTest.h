// The PE whose resource section the user-interface resource tests check, loaded once as a data
// file for the whole test program and released at exit. It is the file named by
// FERRIX_RESOURCE_MODULE when the build defines it (ferrix.exe), else this test executable,
// which links the resource object itself.
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
