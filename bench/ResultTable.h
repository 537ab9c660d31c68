// The figures of one benchmark run, kept by workload, mode and contender, and what is made of
// them: the table of medians, ranges, times per file and ratios, the goals read from it, and both
// as CSV. Owned by the benchmark's main.
#pragma once

#include "bench/BenchWorkload.h"
#include "bench/Contender.h"

#include <cstdio>
#include <string>
#include <vector>

class ResultTable {
public:
    void Add(const Workload& workload, const std::wstring& mode, Contender contender, const RunFigures& figures);

    // The table, one row per workload, mode and contender, then the goals measured against it.
    void Print(std::FILE* out) const;
    // The table's rows as CSV; throws when the file cannot be written.
    void WriteCsv(const std::wstring& path) const;
    // Every run's own figures as CSV; throws when the file cannot be written.
    void WriteRunsCsv(const std::wstring& path) const;

private:
    struct Cell {
        Workload workload;
        std::wstring mode;
        Contender contender;
        std::vector<RunFigures> runs;
    };
    // What a row shows, computed from a cell's runs; negative where a figure is missing.
    struct Row {
        double median = 0, minimum = 0, maximum = 0, perFile = 0;
        double versusDialogFloor = -1, versusPlainFloor = -1;
        double listing = -1, listingShare = -1;
        double memoryGrowth = -1, memoryPerFile = -1; // bytes: median of peak minus start
    };

    const Cell* Find(const std::wstring& workload, const std::wstring& mode, Contender contender) const;
    Row Summarise(const Cell& cell) const;
    void PrintGoals(std::FILE* out) const;

    std::vector<Cell> cells;
};
