#include "bench/BenchWorkload.h"

#include "tests/support/TempFolder.h"

#include <windows.h>

#include <cstdio>

namespace {

// "d07" for the folder numbered 7 of 100: names of one length, so that the platform's order and
// the path lengths do not depend on the number.
std::wstring Numbered(const wchar_t* stem, int number, int count)
{
    const int digits = count > 1 ? static_cast<int>(std::to_wstring(count - 1).size()) : 1;
    wchar_t name[64];
    std::swprintf(name, 64, L"%ls%0*d", stem, digits, number);
    return name;
}

} // namespace

std::vector<Workload> Workloads(bool quick)
{
    constexpr std::size_t kib = 1024;
    if (quick)
        return {
            {L"1000 x 1 KiB", 100, false, 10, kib},
            {L"10 x 8 MiB", 5, false, 2, 8 * kib * kib},
            {L"20 deep", 20, true, 10, kib},
        };
    return {
        {L"1000 x 1 KiB", 100, false, 10, kib},
        {L"5000 x 1 KiB", 100, false, 50, kib},
        {L"20000 x 1 KiB", 100, false, 200, kib},
        {L"50 x 8 MiB", 5, false, 10, 8 * kib * kib},
        {L"40 deep", 40, true, 25, kib},
    };
}

void WriteWorkload(const Workload& workload, const std::wstring& source)
{
    const std::string content(workload.fileSize, 'f');
    std::wstring nestedFolder = source;
    for (int folder = 0; folder < workload.folders; ++folder) {
        const std::wstring name = Numbered(L"d", folder, workload.folders);
        const std::wstring path = workload.nested ? (nestedFolder += L"\\" + name) : source + L"\\" + name;
        for (int file = 0; file < workload.filesPerFolder; ++file)
            WriteFileBytes(path + L"\\" + Numbered(L"f", file, workload.filesPerFolder) + L".dat", content);
    }
}

TreeCount CountTree(const std::wstring& folder)
{
    TreeCount count;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return count;
    do {
        const std::wstring name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++count.files;
            count.bytes += (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        } else if (name != L"." && name != L"..") {
            const TreeCount below = CountTree(folder + L"\\" + name);
            count.files += below.files;
            count.bytes += below.bytes;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}
