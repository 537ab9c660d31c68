// Times one listing of a generated tree (default: 20,000 files of 1 byte in 200 folders).
// usage: listing_bench [FOLDERS FILES_PER_FOLDER]
#include "engine/FileLister.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    const int folders = argc > 2 ? std::atoi(argv[1]) : 200;
    const int filesPerFolder = argc > 2 ? std::atoi(argv[2]) : 100;

    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring root = std::wstring(temp) + L"ferrix-listing-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root.c_str(), nullptr);
    for (int f = 0; f < folders; ++f) {
        const std::wstring folder = root + L"\\folder" + std::to_wstring(f);
        CreateDirectoryW(folder.c_str(), nullptr);
        for (int i = 0; i < filesPerFolder; ++i) {
            const std::wstring file = folder + L"\\file" + std::to_wstring(i) + L".txt";
            HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written;
            WriteFile(handle, "x", 1, &written, nullptr);
            CloseHandle(handle);
        }
    }

    SetCurrentDirectoryW(root.c_str());
    FileLister lister;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        lister.ListFiles(L"*");
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("run %d: %zu files in %zu folders listed in %.3f s (%.1f us per file)\n", run + 1,
                    lister.FileList.size(), lister.FolderList.size(), seconds,
                    1e6 * seconds / static_cast<double>(lister.FileList.size()));
    }

    SetCurrentDirectoryW(temp);
    for (const std::wstring& file : lister.FileList)
        DeleteFileW((root + L"\\" + file).c_str());
    for (auto folder = lister.FolderList.rbegin(); folder != lister.FolderList.rend(); ++folder)
        RemoveDirectoryW((root + L"\\" + *folder).c_str());
    return 0;
}
