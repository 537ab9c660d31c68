#include "framework/WindowRegistry.h"

#include "framework/LockScope.h"
#include "framework/SharedLifetime.h"
#include "framework/StaticOrder.h"

constinit WindowRegistry WindowRegistry::shared;

namespace {

SharedLifetime<WindowRegistry> sharedLifetime __attribute__((init_priority(WINDOW_REGISTRY_INIT_PRIORITY)));

std::uint64_t Key(HWND handle)
{
    return reinterpret_cast<std::uintptr_t>(handle);
}

} // namespace

void WindowRegistry::Initialise()
{
    InitializeCriticalSection(&lock);
    tornDown = false;
}

void WindowRegistry::Teardown()
{
    tornDown = true;
    DeleteCriticalSection(&lock);
    entries.Release();
}

bool WindowRegistry::Search(HWND handle, int& position) const
{
    return entries.Search(Key(handle), [](const Entry& entry) { return Key(entry.key); }, position);
}

void WindowRegistry::Set(HWND handle, WindowBase* object)
{
    LockScope scope(lock, tornDown);
    int position;
    if (Search(handle, position))
        entries[position].value = object;
    else
        entries.InsertAt(position, Entry{handle, object});
}

void WindowRegistry::Remove(HWND handle)
{
    LockScope scope(lock, tornDown);
    int position;
    if (entries.Count() != 0 && Search(handle, position))
        entries.RemoveAt(position);
}

WindowBase* WindowRegistry::Find(HWND handle) const
{
    int position;
    if (entries.Count() == 0 || !Search(handle, position))
        return nullptr;
    return entries[position].value;
}
