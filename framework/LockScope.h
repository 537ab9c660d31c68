// Holds a container's critical section for the length of a scope, so that no early return leaves
// it taken. A container that has been torn down has no lock any more; then nothing is taken.
#pragma once

#include <windows.h>

class LockScope {
public:
    LockScope(CRITICAL_SECTION& lock, bool tornDown) : taken(tornDown ? nullptr : &lock)
    {
        if (taken != nullptr)
            EnterCriticalSection(taken);
    }
    ~LockScope()
    {
        if (taken != nullptr)
            LeaveCriticalSection(taken);
    }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    CRITICAL_SECTION* taken;
};
