// Times the platform's lookups of a file name in one folder as the folder fills up: a copy onto a
// new name (CopyFileW with bFailIfExists FALSE, as a run copies, and TRUE), a copy onto a name
// that is there, and GetFileAttributesW of a name that is absent, of one that is present and of
// one that is present in other letter case; in folders of 1 to 20,000 entries. Names compare
// without regard to case, so a platform that keeps them in a case-sensitive file system has to
// look further than the exact name whenever that is not there.
// usage: lookup_bench [OPERATIONS]   (per measurement, default 200)
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds per operation: the median of three passes of `count` operations each.
double PerOperation(int count, const std::function<void(int)>& operation, const std::function<void()>& afterPass)
{
    std::vector<double> passes;
    for (int pass = 0; pass < 3; ++pass) {
        const Clock::time_point start = Clock::now();
        for (int index = 0; index < count; ++index)
            operation(index);
        passes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() / count);
        afterPass();
    }
    std::sort(passes.begin(), passes.end());
    return passes[1];
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    if (count <= 0) {
        std::fprintf(stderr, "usage: lookup_bench [OPERATIONS]\n");
        return 2;
    }
    const TempFolder root;
    const std::wstring source = root / L"source.dat";
    WriteFileBytes(source, std::string(1024, 's'));
    const std::wstring folder = root / L"folder";
    MakeFolders(folder);
    const auto name = [&](const wchar_t* stem, int index) { return folder + L"\\" + stem + std::to_wstring(index) + L".dat"; };
    const auto removeNew = [&] {
        for (int index = 0; index < count; ++index)
            DeleteFileW(name(L"new", index).c_str());
    };
    const auto nothing = [] {};

    std::printf("Platform lookups in one folder, ms per operation (median of 3 passes of %d):\n", count);
    std::printf("%8s %12s %12s %12s %12s %12s %12s\n", "entries", "copy new", "copy new", "copy onto", "attributes",
                "attributes", "attributes");
    std::printf("%8s %12s %12s %12s %12s %12s %12s\n", "", "FALSE", "TRUE", "present", "absent", "present",
                "other case");
    int entries = 0;
    for (const int target : {1, 1000, 5000, 20000}) {
        for (; entries < target; ++entries)
            WriteFileBytes(name(L"entry", entries), "e");
        const double copyNew = PerOperation(
            count, [&](int index) { CopyFileW(source.c_str(), name(L"new", index).c_str(), FALSE); }, removeNew);
        const double copyNewFailIfExists = PerOperation(
            count, [&](int index) { CopyFileW(source.c_str(), name(L"new", index).c_str(), TRUE); }, removeNew);
        const double copyOnto = PerOperation(
            count, [&](int index) { CopyFileW(source.c_str(), name(L"entry", index % entries).c_str(), FALSE); },
            nothing);
        const double absent = PerOperation(
            count, [&](int index) { GetFileAttributesW(name(L"absent", index).c_str()); }, nothing);
        const double found = PerOperation(
            count, [&](int index) { GetFileAttributesW(name(L"entry", index % entries).c_str()); }, nothing);
        const double otherCase = PerOperation(
            count, [&](int index) { GetFileAttributesW(name(L"ENTRY", index % entries).c_str()); }, nothing);
        std::printf("%8d %12.3f %12.3f %12.3f %12.3f %12.3f %12.3f\n", entries, copyNew, copyNewFailIfExists, copyOnto,
                    absent, found, otherCase);
        std::fflush(stdout);
    }
    return 0;
}
