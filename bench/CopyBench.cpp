// The copy benchmark: ferrix.exe end to end against the floors of floor_copy.exe and the
// platform's xcopy, on trees that it generates in a temporary folder. Every contender runs in
// turn on a fresh destination, several times; the table of medians, ranges, times per file and
// ratios goes to the standard output and, as CSV, into the build folder. Not a test: `make bench`.
// usage: copy_bench [--quick] [--runs N] [--only TEXT] [--contenders NAME,...] [--baseline FERRIX_EXE]
//   --only         the workloads whose name holds TEXT
//   --contenders   ferrix, baseline, dialog, plain, xcopy (default: all that are there)
//   --baseline     another build of ferrix.exe, run in turn after this one: a change's before and after
#include "bench/BenchWorkload.h"
#include "bench/Contender.h"
#include "bench/ResultTable.h"
#include "tests/support/TempFolder.h"
#include "tests/driver/WindowQuery.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const char* text)
{
    return std::wstring(text, text + std::strlen(text));
}

// A path from the build or the command line, which is a Unix one: under Wine it names the current
// drive's root, Z:, where `make bench` starts the benchmark. Made a full Windows path.
std::wstring FullPath(const char* path)
{
    const std::wstring given = Wide(path);
    std::wstring full(GetFullPathNameW(given.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full;
}

std::wstring SystemProgram(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length) + L"\\" + name;
}

// The host's load average over the last minute, read through Wine's drive Z:, which is the host's
// root folder; negative where that cannot be read (not under Wine).
double HostLoad()
{
    std::FILE* file = _wfopen(L"Z:\\proc\\loadavg", L"r");
    if (file == nullptr)
        return -1;
    double load = -1;
    if (std::fscanf(file, "%lf", &load) != 1)
        load = -1;
    std::fclose(file);
    return load;
}

// "Wine 8.0" or "Windows" and the number of logical processors, for the head of the output.
std::string Machine()
{
    using VersionFunction = const char* (*)();
    const auto wineVersion = reinterpret_cast<VersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    SYSTEM_INFO system;
    GetNativeSystemInfo(&system);
    return (wineVersion ? std::string("Wine ") + wineVersion() : std::string("Windows")) + ", " +
           std::to_string(system.dwNumberOfProcessors) + " logical processors";
}

struct Mode {
    const wchar_t* name;
    const wchar_t* separator;
    bool tree; // the separator makes folders
};

struct Options {
    bool quick = false;
    int runs = 0;
    std::wstring only;
    std::wstring contenders; // ",ferrix,dialog," or empty for all
    std::wstring baseline;
};

bool Chosen(const Options& options, Contender contender)
{
    return options.contenders.empty() ||
           options.contenders.find(L"," + std::wstring(ShortNameOf(contender)) + L",") != std::wstring::npos;
}

void Benchmark(const Options& options)
{
    const Programs programs{FullPath(FERRIX_EXE), options.baseline, FullPath(FLOOR_COPY_EXE),
                            SystemProgram(L"xcopy.exe")};
    const std::wstring output = FullPath(BENCH_OUTPUT_FOLDER);
    std::vector<Workload> workloads = Workloads(options.quick);
    std::erase_if(workloads,
                  [&](const Workload& workload) { return workload.name.find(options.only) == std::wstring::npos; });
    const Mode modes[] = {{L"flat", L".", false}, {L"tree", L"\\", true}};
    TempFolder root;
    ResultTable table;
    std::printf("%s; %d runs of each contender per workload and mode, in turn\n", Machine().c_str(), options.runs);
    std::fflush(stdout);
    for (size_t index = 0; index < workloads.size(); ++index) {
        const Workload& workload = workloads[index];
        const std::wstring folder = root / (L"w" + std::to_wstring(index));
        const std::wstring source = folder + L"\\source";
        std::fprintf(stderr, "%s: writing %d files\n", Utf8(workload.name).c_str(), workload.Files());
        WriteWorkload(workload, source);
        for (const Mode& mode : modes) {
            std::vector<Contender> contenders;
            for (Contender contender : allContenders) {
                if (contender == Contender::baseline && programs.baseline.empty())
                    continue;
                if (contender == Contender::xcopy && !mode.tree)
                    continue; // it copies trees only
                if (Chosen(options, contender))
                    contenders.push_back(contender);
            }
            for (int run = 1; run <= options.runs; ++run) {
                for (Contender contender : contenders) {
                    const std::wstring destination = folder + L"\\" + ShortNameOf(contender) + L"-" + mode.name +
                                                     L"-" + std::to_wstring(run);
                    MakeFolders(destination);
                    const double load = HostLoad();
                    RunFigures figures = RunContender(contender, programs, source, destination, mode.separator);
                    figures.hostLoad = load;
                    const TreeCount copied = CountTree(destination);
                    if (copied.files != workload.Files() || copied.bytes != workload.Bytes())
                        throw std::runtime_error(Utf8(NameOf(contender)) + " copied " + std::to_string(copied.files) +
                                                 " files of " + std::to_string(copied.bytes) + " bytes instead of " +
                                                 std::to_string(workload.Files()) + " of " +
                                                 std::to_string(workload.Bytes()) + " into " + Utf8(destination));
                    RemoveTree(destination);
                    table.Add(workload, mode.name, contender, figures);
                    std::fprintf(stderr, "%s, %ls, %s, run %d: %.0f ms (host load %.2f)\n",
                                 Utf8(workload.name).c_str(), mode.name, Utf8(NameOf(contender)).c_str(), run,
                                 figures.milliseconds, load);
                }
            }
        }
        RemoveTree(folder);
    }
    std::printf("\n");
    table.Print(stdout);
    const std::wstring csv = output + L"\\bench-results.csv";
    const std::wstring runsCsv = output + L"\\bench-runs.csv";
    table.WriteCsv(csv);
    table.WriteRunsCsv(runsCsv);
    std::printf("\nWritten: %s and %s\n", Utf8(csv).c_str(), Utf8(runsCsv).c_str());
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int index = 1; index < argc; ++index) {
        const std::string option = argv[index];
        const bool valued = index + 1 < argc;
        if (option == "--quick")
            options.quick = true;
        else if (option == "--runs" && valued)
            options.runs = std::atoi(argv[++index]);
        else if (option == "--only" && valued)
            options.only = Wide(argv[++index]);
        else if (option == "--contenders" && valued)
            options.contenders = L"," + Wide(argv[++index]) + L",";
        else if (option == "--baseline" && valued)
            options.baseline = FullPath(argv[++index]);
        else {
            std::fprintf(stderr, "usage: copy_bench [--quick] [--runs N] [--only TEXT] [--contenders NAME,...] "
                                 "[--baseline FERRIX_EXE]\n");
            return 2;
        }
    }
    if (options.runs <= 0)
        options.runs = options.quick ? 3 : 5;
    try {
        Benchmark(options);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "copy_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
