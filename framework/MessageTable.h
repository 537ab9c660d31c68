// The process-wide table of message adapters, indexed by message number 0 to 1023. An adapter
// unpacks a message's parameters, calls one handler of the target object and applies the
// handler's result rule. `shared` is built by static initialisation and read-only afterwards;
// RouteMessage (WindowProcedures.cpp) looks every routed message up in it.
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
