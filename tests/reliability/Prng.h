// A small deterministic random generator for the randomised tests (splitmix64): a seed gives the
// same sequence on every platform, compiler and run, so a failing case can be replayed by its seed.
// A plain value owned by whoever draws from it.
#pragma once

#include <cstdint>
#include <vector>

class Prng {
public:
    explicit Prng(std::uint64_t seed) : state(seed) {}

    std::uint64_t Next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number from 0 to bound - 1 (the bias of the modulo is far below what a test could notice).
    unsigned Below(unsigned bound) { return static_cast<unsigned>(Next() % bound); }
    // A number from low to high, both included.
    unsigned Between(unsigned low, unsigned high) { return low + Below(high - low + 1); }
    // True with a chance of `percent` in a hundred.
    bool Chance(unsigned percent) { return Below(100) < percent; }
    template <typename T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[Below(static_cast<unsigned>(items.size()))];
    }

private:
    std::uint64_t state;
};
