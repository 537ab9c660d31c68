// The one application object of Ferrix, a static object built before the entry function runs:
// it splits the command line, holds the Copy settings and runs the main dialog and then the
// progress dialog.
#pragma once

#include "app/CommandLine.h"
#include "engine/CopySettings.h"
#include "framework/ApplicationBase.h"

class Application : public ApplicationBase {
public:
    // Splits the process's command line and fills the Copy settings from it.
    Application();

    // Runs the main dialog and, when it has ended with OK, the copy run in the source folder;
    // always false, so the framework's message loop is never entered and the exit code is 0.
    bool Start() override;

    CommandLine commandLine;
    CopySettings settings;
};
