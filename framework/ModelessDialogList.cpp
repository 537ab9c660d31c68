#include "framework/ModelessDialogList.h"

#include "framework/LockScope.h"
#include "framework/SharedLifetime.h"
#include "framework/StaticOrder.h"

constinit ModelessDialogList ModelessDialogList::shared;

namespace {

SharedLifetime<ModelessDialogList> sharedLifetime __attribute__((init_priority(MODELESS_DIALOG_LIST_INIT_PRIORITY)));

std::uint64_t Key(HWND handle)
{
    return reinterpret_cast<std::uintptr_t>(handle);
}

} // namespace

void ModelessDialogList::Initialise()
{
    InitializeCriticalSection(&lock);
    tornDown = false;
}

void ModelessDialogList::Teardown()
{
    tornDown = true;
    DeleteCriticalSection(&lock);
    dialogs.Release();
}

void ModelessDialogList::Add(HWND dialog)
{
    LockScope scope(lock, tornDown);
    // Lower bound: the first entry not below the handle, so a duplicate goes before its twin.
    const std::uint64_t key = Key(dialog);
    int lo = 0;
    int hi = static_cast<int>(dialogs.Count()) - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) >> 1;
        if (Key(dialogs[mid]) >= key)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    dialogs.InsertAt(lo, dialog);
}

void ModelessDialogList::Remove(HWND dialog)
{
    LockScope scope(lock, tornDown);
    const int index = IndexOf(dialog);
    if (index != -1)
        dialogs.RemoveAt(index);
}

int ModelessDialogList::IndexOf(HWND dialog) const
{
    int position;
    return dialogs.Search(Key(dialog), Key, position) ? position : -1;
}

bool ModelessDialogList::OfferToDialogs(MSG& message)
{
    if (dialogs.Count() == 0)
        return false;
    LockScope scope(lock, tornDown);
    // Count and entries are read afresh on every step: a dialog procedure reached through
    // IsDialogMessageW may add or remove entries on this same thread, which the lock admits again.
    for (std::uint64_t i = 0; i < dialogs.Count(); ++i) {
        if (IsDialogMessageW(dialogs[i], &message))
            return true;
    }
    return false;
}
