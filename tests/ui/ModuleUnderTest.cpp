#include "tests/ui/ModuleUnderTest.h"

#include <stdexcept>

namespace {

std::wstring PathUnderTest()
{
    return L"" FERRIX_RESOURCE_MODULE; // a narrow literal from the build, widened by concatenation
}

} // namespace

const ModuleUnderTest& ModuleUnderTest::Get()
{
    static const ModuleUnderTest instance;
    return instance;
}

ModuleUnderTest::ModuleUnderTest() : path(PathUnderTest())
{
    module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        throw std::runtime_error("LoadLibraryExW of the module under test failed with error " +
                                 std::to_string(GetLastError()));
}

ModuleUnderTest::~ModuleUnderTest()
{
    FreeLibrary(module);
}

std::string_view ModuleUnderTest::Resource(const wchar_t* type, const wchar_t* name) const
{
    HRSRC found = FindResourceExW(module, type, name, MAKELANGID(LANG_POLISH, SUBLANG_POLISH_POLAND));
    if (found == nullptr)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return {};
    return std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found));
}
