// One message on its way to a handler: built by RouteMessage on the stack and handed to the
// message's adapter, which unpacks the parameters and may set the result.
#pragma once

#include <windows.h>

class WindowBase;

struct MessageRecord {
    WindowBase* target;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    // Given back to the platform when the message counts as handled; starts as the default
    // result (0 from the window procedure, 1 from the dialog procedure).
    LRESULT result;
};
