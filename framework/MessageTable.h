// The process-wide table of message adapters, indexed by message number 0 to 1023. An adapter
// unpacks a message's parameters, calls one handler of the target object and applies the
// handler's result rule. `shared` is built by static initialisation and read-only afterwards.
#pragma once

#include "framework/MessageRecord.h"

#include <windows.h>

class WindowBase;

class MessageTable {
public:
    // True when the message was handled; the record's result then goes back to the platform.
    using Adapter = bool (*)(MessageRecord& record);
    // Message numbers from here on (the application-defined ones) have no entry.
    static constexpr UINT size = 1024;

    static const MessageTable shared;

    MessageTable();
    Adapter operator[](UINT message) const { return adapters[message]; }

private:
    Adapter adapters[size];
};

// Routes one message of `window` to its object: a first look for PreviewMessage, then the
// message's adapter, and DefaultProcessing for what no handler took. WM_NCDESTROY also takes the
// window out of the registry and unbinds the object; an object that subclassed the window passes
// it on in any case. `defaultResult` is what a handled message answers unless a handler says
// otherwise.
LRESULT RouteMessage(WindowBase* target, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     LRESULT defaultResult);
