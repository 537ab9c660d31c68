#include "bench/ResultTable.h"

#include "tests/driver/WindowQuery.h"

#include <algorithm>
#include <stdexcept>

namespace {

// The median of the values that are not negative (missing figures are negative), or -1.
double Median(const std::vector<double>& values)
{
    std::vector<double> present;
    std::copy_if(values.begin(), values.end(), std::back_inserter(present), [](double value) { return value >= 0; });
    if (present.empty())
        return -1;
    std::sort(present.begin(), present.end());
    const size_t middle = present.size() / 2;
    return present.size() % 2 ? present[middle] : (present[middle - 1] + present[middle]) / 2;
}

double MedianTime(const std::vector<RunFigures>& runs)
{
    std::vector<double> times;
    for (const RunFigures& run : runs)
        times.push_back(run.milliseconds);
    return Median(times);
}

// A figure for the table, or "-" where it is missing.
std::string Figure(double value, const char* format)
{
    if (value < 0)
        return "-";
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::FILE* OpenForWriting(const std::wstring& path)
{
    std::FILE* file = _wfopen(path.c_str(), L"w");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + Utf8(path));
    return file;
}

const wchar_t* const modes[] = {L"flat", L"tree"};

} // namespace

void ResultTable::Add(const Workload& workload, const std::wstring& mode, Contender contender,
                      const RunFigures& figures)
{
    for (Cell& cell : cells) {
        if (cell.workload.name == workload.name && cell.mode == mode && cell.contender == contender) {
            cell.runs.push_back(figures);
            return;
        }
    }
    cells.push_back({workload, mode, contender, {figures}});
}

const ResultTable::Cell* ResultTable::Find(const std::wstring& workload, const std::wstring& mode,
                                           Contender contender) const
{
    for (const Cell& cell : cells)
        if (cell.workload.name == workload && cell.mode == mode && cell.contender == contender)
            return &cell;
    return nullptr;
}

ResultTable::Row ResultTable::Summarise(const Cell& cell) const
{
    std::vector<double> times, listings, growths;
    for (const RunFigures& run : cell.runs) {
        times.push_back(run.milliseconds);
        listings.push_back(run.listingMilliseconds);
        growths.push_back(run.startMemory >= 0 && run.peakMemory >= 0
                              ? static_cast<double>(run.peakMemory - run.startMemory) : -1);
    }
    Row row;
    row.median = MedianTime(cell.runs);
    row.minimum = *std::min_element(times.begin(), times.end());
    row.maximum = *std::max_element(times.begin(), times.end());
    row.perFile = row.median / cell.workload.Files();
    const auto versus = [&](Contender floor) {
        const Cell* other = Find(cell.workload.name, cell.mode, floor);
        return other ? row.median / MedianTime(other->runs) : -1;
    };
    row.versusDialogFloor = versus(Contender::dialogFloor);
    row.versusPlainFloor = versus(Contender::plainFloor);
    row.listing = Median(listings);
    row.listingShare = row.listing >= 0 ? row.listing / row.median : -1;
    row.memoryGrowth = Median(growths);
    row.memoryPerFile = row.memoryGrowth >= 0 ? row.memoryGrowth / cell.workload.Files() : -1;
    return row;
}

void ResultTable::Print(std::FILE* out) const
{
    std::fprintf(out, "%-14s %-4s %-18s %4s %10s %21s %8s %7s %7s %9s %7s %9s %7s\n", "workload", "mode",
                 "contender", "runs", "median ms", "min-max ms", "ms/file", "/dialog", "/plain", "first ms",
                 "share", "peak+ KiB", "B/file");
    for (const Cell& cell : cells) {
        const Row row = Summarise(cell);
        const std::string range = Figure(row.minimum, "%.0f") + "-" + Figure(row.maximum, "%.0f");
        std::fprintf(out, "%-14s %-4s %-18s %4zu %10.0f %21s %8.3f %7s %7s %9s %7s %9s %7s\n",
                     Utf8(cell.workload.name).c_str(), Utf8(cell.mode).c_str(), Utf8(NameOf(cell.contender)).c_str(),
                     cell.runs.size(), row.median, range.c_str(), row.perFile,
                     Figure(row.versusDialogFloor, "%.3f").c_str(), Figure(row.versusPlainFloor, "%.3f").c_str(),
                     Figure(row.listing, "%.0f").c_str(), Figure(100 * row.listingShare, "%.2f%%").c_str(),
                     Figure(row.memoryGrowth / 1024, "%.0f").c_str(), Figure(row.memoryPerFile, "%.0f").c_str());
    }
    double lowest = -1, highest = -1;
    for (const Cell& cell : cells) {
        for (const RunFigures& run : cell.runs) {
            if (run.hostLoad < 0)
                continue;
            lowest = lowest < 0 ? run.hostLoad : std::min(lowest, run.hostLoad);
            highest = std::max(highest, run.hostLoad);
        }
    }
    std::fprintf(out, "\nHost load (one-minute average) when the runs started: %s to %s\n",
                 Figure(lowest, "%.2f").c_str(), Figure(highest, "%.2f").c_str());
    PrintGoals(out);
}

void ResultTable::PrintGoals(std::FILE* out) const
{
    std::fprintf(out, "\nferrix.exe against the floor with dialog (median over median; goal at most 1.05):\n");
    for (const Cell& cell : cells) {
        if (cell.contender != Contender::ferrix && cell.contender != Contender::baseline)
            continue;
        const Row row = Summarise(cell);
        std::fprintf(out, "  %-14s %-4s %-20s %s %s\n", Utf8(cell.workload.name).c_str(), Utf8(cell.mode).c_str(),
                     Utf8(NameOf(cell.contender)).c_str(),
                     Figure(row.versusDialogFloor, "%.3f").c_str(),
                     row.versusDialogFloor < 0 ? "" : row.versusDialogFloor <= 1.05 ? "met" : "NOT met");
    }

    // Scaling: the smallest and the largest of the workloads of 1 KiB files side by side.
    const Workload* smallest = nullptr;
    const Workload* largest = nullptr;
    for (const Cell& cell : cells) {
        const Workload& workload = cell.workload;
        if (workload.nested || workload.fileSize != 1024)
            continue;
        if (smallest == nullptr || workload.Files() < smallest->Files())
            smallest = &workload;
        if (largest == nullptr || workload.Files() > largest->Files())
            largest = &workload;
    }
    if (smallest == nullptr || smallest->Files() == largest->Files())
        return;
    std::fprintf(out, "\nms per file at %d files over ms per file at %d files (goal for ferrix.exe in tree mode: "
                      "at most 1.5):\n", largest->Files(), smallest->Files());
    for (const wchar_t* mode : modes) {
        for (Contender contender : allContenders) {
            const Cell* small = Find(smallest->name, mode, contender);
            const Cell* large = Find(largest->name, mode, contender);
            if (small && large)
                std::fprintf(out, "  %-4ls %-18s %.3f\n", mode, Utf8(NameOf(contender)).c_str(),
                             Summarise(*large).perFile / Summarise(*small).perFile);
        }
    }
    std::fprintf(out, "\nfrom OK to the first numbered caption at %d files, share of the run (goal for ferrix.exe: "
                      "under 2%%):\n", largest->Files());
    for (const wchar_t* mode : modes) {
        for (Contender contender : {Contender::ferrix, Contender::dialogFloor}) {
            if (const Cell* cell = Find(largest->name, mode, contender)) {
                const Row row = Summarise(*cell);
                std::fprintf(out, "  %-4ls %-18s %s ms of %.0f ms, %s\n", mode, Utf8(NameOf(contender)).c_str(),
                             Figure(row.listing, "%.0f").c_str(), row.median,
                             Figure(100 * row.listingShare, "%.2f%%").c_str());
            }
        }
    }
    std::fprintf(out, "\nPeak working set above the working set at OK, per listed file (goal for ferrix.exe: under "
                      "1024 B), and what each file beyond %d adds up to %d:\n", smallest->Files(), largest->Files());
    for (const wchar_t* mode : modes) {
        for (Contender contender : {Contender::ferrix, Contender::dialogFloor}) {
            const Cell* small = Find(smallest->name, mode, contender);
            const Cell* large = Find(largest->name, mode, contender);
            if (small == nullptr || large == nullptr)
                continue;
            const Row smallRow = Summarise(*small), largeRow = Summarise(*large);
            const double added = smallRow.memoryGrowth >= 0 && largeRow.memoryGrowth >= 0
                                     ? (largeRow.memoryGrowth - smallRow.memoryGrowth) /
                                           (largest->Files() - smallest->Files())
                                     : -1;
            std::fprintf(out, "  %-4ls %-18s %s B per file at %d files, %s B at %d files; %s B per added file\n", mode,
                         Utf8(NameOf(contender)).c_str(), Figure(smallRow.memoryPerFile, "%.0f").c_str(),
                         smallest->Files(), Figure(largeRow.memoryPerFile, "%.0f").c_str(), largest->Files(),
                         Figure(added, "%.0f").c_str());
        }
    }
    std::fprintf(out, "  ferrix.exe on the others:");
    for (const Cell& cell : cells) {
        if (cell.contender == Contender::ferrix && (cell.workload.nested || cell.workload.fileSize != 1024))
            std::fprintf(out, " %s %s %s B;", Utf8(cell.workload.name).c_str(), Utf8(cell.mode).c_str(),
                         Figure(Summarise(cell).memoryPerFile, "%.0f").c_str());
    }
    std::fprintf(out, "\n");
}

void ResultTable::WriteCsv(const std::wstring& path) const
{
    std::FILE* file = OpenForWriting(path);
    std::fprintf(file, "workload,files,bytes,mode,contender,runs,median_ms,min_ms,max_ms,ms_per_file,"
                       "versus_dialog_floor,versus_plain_floor,first_file_ms,first_file_share,"
                       "peak_growth_bytes,peak_growth_per_file\n");
    for (const Cell& cell : cells) {
        const Row row = Summarise(cell);
        std::fprintf(file, "%s,%d,%llu,%s,%s,%zu,%.1f,%.1f,%.1f,%.4f,%.4f,%.4f,%.1f,%.5f,%.0f,%.1f\n",
                     Utf8(cell.workload.name).c_str(), cell.workload.Files(),
                     static_cast<unsigned long long>(cell.workload.Bytes()), Utf8(cell.mode).c_str(),
                     Utf8(NameOf(cell.contender)).c_str(), cell.runs.size(), row.median, row.minimum, row.maximum,
                     row.perFile, row.versusDialogFloor, row.versusPlainFloor, row.listing, row.listingShare,
                     row.memoryGrowth, row.memoryPerFile);
    }
    std::fclose(file);
}

void ResultTable::WriteRunsCsv(const std::wstring& path) const
{
    std::FILE* file = OpenForWriting(path);
    std::fprintf(file, "workload,files,mode,contender,run,ms,first_file_ms,start_working_set,peak_working_set,"
                       "host_load\n");
    for (const Cell& cell : cells) {
        for (size_t run = 0; run < cell.runs.size(); ++run) {
            const RunFigures& figures = cell.runs[run];
            std::fprintf(file, "%s,%d,%s,%s,%zu,%.1f,%.1f,%lld,%lld,%.2f\n", Utf8(cell.workload.name).c_str(),
                         cell.workload.Files(), Utf8(cell.mode).c_str(), Utf8(NameOf(cell.contender)).c_str(),
                         run + 1, figures.milliseconds, figures.listingMilliseconds,
                         static_cast<long long>(figures.startMemory), static_cast<long long>(figures.peakMemory),
                         figures.hostLoad);
        }
    }
    std::fclose(file);
}
