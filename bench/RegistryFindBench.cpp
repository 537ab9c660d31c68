// Times WindowRegistry::Find, which runs for nearly every message, on registries of 64 and of
// 10,000 entries: lookups of present handles in a scattered order and of absent ones.
// usage: registry_find_bench [LOOKUPS]
#include "framework/Window.h"
#include "framework/WindowRegistry.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

// Handle values shaped like the platform's: small, even, spread over a range.
HWND HandleNumber(std::uint64_t i)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10000 + 4 * i));
}

// Nanoseconds per Find over `lookups` lookups of the given handles, cycling through them.
double TimeFinds(const WindowRegistry& registry, const std::vector<HWND>& handles, long lookups, std::uintptr_t& sink)
{
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < lookups; ++i)
        sink += reinterpret_cast<std::uintptr_t>(registry.Find(handles[static_cast<size_t>(i) % handles.size()]));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return 1e9 * seconds / static_cast<double>(lookups);
}

void Measure(std::uint64_t entries, long lookups, std::uintptr_t& sink)
{
    static Window object; // only its address is stored
    WindowRegistry registry;
    registry.Initialise();
    std::vector<HWND> present, absent;
    for (std::uint64_t i = 0; i < entries; ++i) {
        present.push_back(HandleNumber(2 * i));
        absent.push_back(HandleNumber(2 * i + 1));
    }
    std::mt19937 random(42);
    std::shuffle(present.begin(), present.end(), random);
    std::shuffle(absent.begin(), absent.end(), random);
    for (HWND handle : present)
        registry.Set(handle, &object);

    for (int run = 1; run <= 3; ++run) {
        const double found = TimeFinds(registry, present, lookups, sink);
        const double missed = TimeFinds(registry, absent, lookups, sink);
        std::printf("%6llu entries (capacity %6llu), run %d: %.1f ns per Find of a present handle, "
                    "%.1f ns of an absent one\n",
                    static_cast<unsigned long long>(registry.Count()),
                    static_cast<unsigned long long>(registry.Capacity()), run, found, missed);
    }
    registry.Teardown();
}

} // namespace

int main(int argc, char** argv)
{
    const long lookups = argc > 1 ? std::atol(argv[1]) : 10000000;
    std::uintptr_t sink = 0;
    Measure(64, lookups, sink);
    Measure(10000, lookups, sink);
    return sink == 1 ? 1 : 0; // keeps the lookups from being optimised away
}
