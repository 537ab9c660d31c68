#include "tests/driver/Wait.h"

#include <stdexcept>

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout)
{
    const ULONGLONG end = GetTickCount64() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(1);
    }
}

void WaitOrThrow(const std::function<bool()>& condition, const std::string& what, DWORD timeout)
{
    if (!WaitUntil(condition, timeout))
        throw std::runtime_error("gave up after " + std::to_string(timeout) + " ms waiting for " + what);
}
