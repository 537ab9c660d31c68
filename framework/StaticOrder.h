// The order in which static initialisation builds the process-wide objects, as init_priority
// values: a lower number is built earlier and torn down later.
//
// The order matters at both ends. The window registry and the modeless dialog list are built
// after the application object and torn down before its destructor runs, so anything that object
// destroys at exit (dialogs, windows) meets torn-down containers, which keep working from empty
// without a lock. The message table is built last, but still before any window can exist.
// C++ leaves the order across source files open, hence the explicit numbers.
#pragma once

#define BROWSE_START_FOLDER_INIT_PRIORITY 1001
#define APPLICATION_INIT_PRIORITY 1002
#define MODELESS_DIALOG_LIST_INIT_PRIORITY 1003
#define WINDOW_REGISTRY_INIT_PRIORITY 1004
#define MESSAGE_TABLE_INIT_PRIORITY 1005
