// The base of the one application object: the start, the message loop with its idle work and the
// exit code, driven by ApplicationEntry. The application object is a static object; while it
// exists, `currentApplication` points to it.
#pragma once

#include <windows.h>

class ApplicationBase {
public:
    ApplicationBase();
    ApplicationBase(const ApplicationBase&) = delete;
    ApplicationBase& operator=(const ApplicationBase&) = delete;

    // Clears `currentApplication` and the exit code.
    virtual ~ApplicationBase();
    // Called once by the entry function; return true to run the message loop afterwards.
    virtual bool Start();
    // The process's exit code.
    virtual int ExitCode();
    // The message loop: runs idle work while the queue is empty and returns WM_QUIT's code.
    virtual int Run();
    // Fetches one message and lets the window's object, then the modeless dialogs, take it before
    // it is translated and dispatched. False for WM_QUIT.
    virtual bool ProcessNextMessage(MSG& message);
    // Whether a processed message makes idle work start again from count 0: not for WM_PAINT and
    // the system's internal timer message, which an idle application receives on its own.
    virtual bool RestartsIdle(const MSG& message);
    // Called while the queue is empty, with a count that restarts at 0 after each message that
    // restarts idle work; return true to be called again. The base has none.
    virtual bool IdleWork(int count);

protected:
    int exitCode = 0;

private:
    friend int ApplicationEntry(HINSTANCE instance);
};

// The one application object, from its construction to its destruction.
extern ApplicationBase* currentApplication;
// The module whose resources and window classes the framework uses; stored by ApplicationEntry.
extern HINSTANCE instanceHandle;

// The entry function's work, for the program's wWinMain: stores the instance handle, starts the
// application, runs the message loop when Start asks for it, and returns the exit code.
int ApplicationEntry(HINSTANCE instance);
