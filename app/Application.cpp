#include "app/Application.h"

#include "ui/MainDialog.h"
#include "ui/ProgressDialog.h"

#include <commctrl.h>

#include <string>

namespace {

// The process's current directory, however long. GetCurrentDirectoryW answers the size it needs,
// terminator included, when the buffer is too small, and then fills in nothing usable.
std::wstring CurrentDirectory()
{
    std::wstring folder;
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    while (size > folder.size()) {
        folder.resize(size);
        size = GetCurrentDirectoryW(size, folder.data());
    }
    folder.resize(size);
    return folder;
}

} // namespace

Application::Application() : commandLine(GetCommandLineW())
{
    FillCopySettings(commandLine, settings);
}

bool Application::Start()
{
    InitCommonControls(); // the progress bar's class
    MainDialog mainDialog(settings);
    // Only OK (1) starts a run: 0 is Cancel or Close, and -1 a dialog that could not be created,
    // whose settings nobody has seen or confirmed.
    if (mainDialog.RunModal() != 1)
        return false;

    // The listing and every source-side file operation resolve against the current directory, so
    // a source that cannot be entered ends the run before anything is listed, copied or deleted.
    const std::wstring previous = CurrentDirectory();
    if (!SetCurrentDirectoryW(settings.source.c_str()))
        return false;
    ProgressDialog progressDialog(settings);
    progressDialog.RunModal(); // the worker has ended it; it reports nothing, so the result says nothing
    SetCurrentDirectoryW(previous.c_str());
    return false;
}
