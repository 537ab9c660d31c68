// The storage of the framework's sorted containers: an array that grows by exactly 64 entries,
// never shrinks, and is searched by halving. Owned by its container, which frees it with Release.
// It has no destructor on purpose, so a container that is a static object stays usable after its
// teardown at exit.
#pragma once

#include <algorithm>
#include <cstdint>

template <typename T>
class GrowingArray {
public:
    static constexpr std::uint64_t growth = 64;

    std::uint64_t Count() const { return count; }
    std::uint64_t Capacity() const { return capacity; }
    T& operator[](std::uint64_t index) { return entries[index]; }
    const T& operator[](std::uint64_t index) const { return entries[index]; }

    // Binary search for a key among entries sorted by keyOf(entry), keys as unsigned 64-bit
    // numbers: true and the entry's position when found, otherwise false and the position where
    // the key belongs. The bounds are signed 32-bit, as the containers stay far smaller.
    template <typename KeyOf>
    bool Search(std::uint64_t key, KeyOf keyOf, int& position) const
    {
        int lo = 0;
        int hi = static_cast<int>(count) - 1;
        while (lo <= hi) {
            const int mid = (lo + hi) >> 1;
            const std::uint64_t probe = keyOf(entries[mid]);
            if (probe < key) {
                lo = mid + 1;
            } else if (probe > key) {
                hi = mid - 1;
            } else {
                position = mid;
                return true;
            }
        }
        position = lo;
        return false;
    }

    // Stores the value at the position, moving the entries from there up by one place; a full
    // array first moves into a new one of 64 more entries.
    void InsertAt(std::uint64_t position, const T& value)
    {
        if (count >= capacity) {
            T* larger = new T[capacity + growth];
            std::copy(entries, entries + count, larger);
            delete[] entries;
            entries = larger;
            capacity += growth;
        }
        std::copy_backward(entries + position, entries + count, entries + count + 1);
        entries[position] = value;
        ++count;
    }

    // Deletes the entry at the position, moving the entries after it down by one place.
    void RemoveAt(std::uint64_t position)
    {
        std::copy(entries + position + 1, entries + count, entries + position);
        --count;
    }

    // Frees the array; the storage is empty and usable again afterwards.
    void Release()
    {
        delete[] entries;
        entries = nullptr;
        count = 0;
        capacity = 0;
    }

private:
    T* entries = nullptr;
    std::uint64_t count = 0;
    std::uint64_t capacity = 0;
};
