// The program's entry and its one application object.
#include "app/Application.h"
#include "framework/StaticOrder.h"

// Built after the browse start folder and before the framework's window registry, dialog list and
// message table, so that its destructor runs after those have been torn down (they keep working,
// empty and unlocked) and before the browse start folder goes. C++ leaves the order across source
// files open, hence the number from StaticOrder.h.
Application application __attribute__((init_priority(APPLICATION_INIT_PRIORITY)));

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    return ApplicationEntry(instance);
}
