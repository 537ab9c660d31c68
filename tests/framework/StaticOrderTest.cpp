// Observes, from start-up to the end of the exit sequence, that the static objects are built and
// torn down in the order of framework/StaticOrder.h. The two objects of this file stand in for
// the program's browse start folder and application object; they are defined here in the
// opposite order to their priorities, so only the attribute can put them right. The exit code
// is 1 when any check failed, including those that run after main has returned.
#include "framework/ApplicationBase.h"
#include "framework/ModelessDialogList.h"
#include "framework/StaticOrder.h"
#include "framework/Window.h"
#include "framework/WindowRegistry.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Constant-initialised, so usable from the first constructor to the last destructor.
constinit char events[8] = {};
constinit int eventCount = 0;
constinit int failures = 0;

void Note(char event)
{
    if (eventCount < 7)
        events[eventCount++] = event;
}

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "static order: %s\n", what);
        ++failures;
    }
}

// The containers after their teardown: empty, unlocked, and still working.
void CheckTornDownContainers()
{
    Check(WindowRegistry::shared.TornDown(), "the registry is torn down before the application object");
    Check(ModelessDialogList::shared.TornDown(), "the dialog list is torn down before the application object");
    const HWND key = reinterpret_cast<HWND>(0x40);
    Window object;
    WindowRegistry::shared.Set(key, &object);
    Check(WindowRegistry::shared.Find(key) == &object, "the torn-down registry still finds what it is given");
    WindowRegistry::shared.Remove(key);
    Check(WindowRegistry::shared.Count() == 0, "the torn-down registry still removes");
    ModelessDialogList::shared.Add(key);
    ModelessDialogList::shared.Remove(key);
    Check(ModelessDialogList::shared.Count() == 0, "the torn-down dialog list still adds and removes");
}

class StandInApplication : public ApplicationBase {
public:
    StandInApplication()
    {
        Note('A');
        Check(std::string(events, eventCount) == "BA", "the browse folder is built before the application object");
    }
    ~StandInApplication() override
    {
        CheckTornDownContainers();
        Note('a');
    }
};

class StandInBrowseFolder {
public:
    StandInBrowseFolder()
    {
        Note('B');
        Check(currentApplication == nullptr, "nothing is built before the browse folder");
    }
    ~StandInBrowseFolder()
    {
        Note('b');
        Check(std::string(events, eventCount) == "BAab", "teardown runs in the reverse order");
        if (failures != 0)
            std::_Exit(1); // the last word of the process: the exit code carries the verdict
    }

    std::wstring text;
};

StandInApplication application __attribute__((init_priority(APPLICATION_INIT_PRIORITY)));
StandInBrowseFolder browseStartFolder __attribute__((init_priority(BROWSE_START_FOLDER_INIT_PRIORITY)));

} // namespace

int main()
{
    Check(std::string(events, eventCount) == "BA", "both stand-ins are built before main");
    Check(currentApplication == &application, "the application object is the current application");
    Check(!WindowRegistry::shared.TornDown() && !ModelessDialogList::shared.TornDown(),
          "the containers are live during main");

    // The registry, its lock and the message table are ready: a window can be created and bound.
    instanceHandle = GetModuleHandleW(nullptr);
    Window window;
    Check(window.Create(nullptr), "a framework window can be created");
    Check(WindowRegistry::shared.Find(window.handle) == &window, "the new window is bound");
    DestroyWindow(window.handle);
    Check(WindowRegistry::shared.Count() == 0, "the destroyed window is unbound");

    std::fprintf(stderr, "static order: %d failures before exit\n", failures);
    return failures == 0 ? 0 : 1;
}
