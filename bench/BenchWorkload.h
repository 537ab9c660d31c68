// The source trees of the copy benchmark: what each one holds, generating it in a folder, and
// counting what a copy of it produced. Plain values; the benchmark owns them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Workload {
    std::wstring name;
    int folders = 0;         // below the source folder: side by side, or each inside the one before
    bool nested = false;     // a chain `folders` deep instead of siblings
    int filesPerFolder = 0;
    std::size_t fileSize = 0; // bytes

    int Files() const { return folders * filesPerFolder; }
    std::uint64_t Bytes() const { return static_cast<std::uint64_t>(Files()) * fileSize; }
};

// The workloads of a full run, or the smaller ones of a quick run.
std::vector<Workload> Workloads(bool quick);

// Writes the workload's files below `source`, creating the folders they need; throws on failure.
void WriteWorkload(const Workload& workload, const std::wstring& source);

// What a folder holds below it, counted from the directory search alone.
struct TreeCount {
    int files = 0;
    std::uint64_t bytes = 0;
};
TreeCount CountTree(const std::wstring& folder);
