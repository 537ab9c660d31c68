// The handles of the dialogs that are not run modally, in ascending order, so that the message
// loop can offer each queued message to them for keyboard navigation. `shared` is the one
// process-wide list: prepared by static initialisation, torn down at exit, usable after that.
#pragma once

#include "framework/GrowingArray.h"

#include <windows.h>

#include <cstdint>

class ModelessDialogList {
public:
    static ModelessDialogList shared;

    // Prepares the lock; the list is empty and not torn down.
    void Initialise();
    // Frees the array and deletes the lock; afterwards the list works from empty without locking.
    void Teardown();

    // Inserts the handle in order; a handle already present is added once more.
    void Add(HWND dialog);
    // Deletes one occurrence of the handle when present.
    void Remove(HWND dialog);
    // The position of the handle, or -1 when it is absent.
    int IndexOf(HWND dialog) const;

    // The message loop's pass: offers the message to each dialog in ascending order with
    // IsDialogMessageW, holding the lock throughout; true at the first dialog that processed it.
    bool OfferToDialogs(MSG& message);

    std::uint64_t Count() const { return dialogs.Count(); }
    std::uint64_t Capacity() const { return dialogs.Capacity(); }
    HWND At(std::uint64_t index) const { return dialogs[index]; }
    bool TornDown() const { return tornDown; }

private:
    GrowingArray<HWND> dialogs;
    CRITICAL_SECTION lock{};
    bool tornDown = false;
};
