// Binds window handles to the objects that handle their messages, sorted by handle for a binary
// search without a lock. `shared` is the one process-wide registry: its lock is prepared by static
// initialisation and it is torn down at exit, after which it still works, from empty, unlocked.
#pragma once

#include "framework/GrowingArray.h"

#include <windows.h>

#include <cstdint>

class WindowBase;

class WindowRegistry {
public:
    struct Entry {
        HWND key;
        WindowBase* value; // not owned; may be null, which readers treat as absent
    };

    static WindowRegistry shared;

    // Prepares the lock; the registry is empty and not torn down.
    void Initialise();
    // Frees the array and deletes the lock. Every operation still works afterwards, without
    // locking, so that objects destroyed later in the exit sequence can still unbind.
    void Teardown();

    // Inserts the pair in order, or overwrites the value when the handle is present.
    void Set(HWND handle, WindowBase* object);
    // Deletes the handle's entry when present.
    void Remove(HWND handle);
    // The object stored for the handle, or null. Takes no lock and allocates nothing: it runs for
    // nearly every message, and every write and lookup happens on the user-interface thread.
    WindowBase* Find(HWND handle) const;

    std::uint64_t Count() const { return entries.Count(); }
    std::uint64_t Capacity() const { return entries.Capacity(); }
    const Entry& At(std::uint64_t index) const { return entries[index]; }
    bool TornDown() const { return tornDown; }

private:
    // True and the entry's position when the handle is present, else false and where it belongs.
    bool Search(HWND handle, int& position) const;

    GrowingArray<Entry> entries;
    CRITICAL_SECTION lock{};
    bool tornDown = false;
};
