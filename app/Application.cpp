#include "app/Application.h"

#include "engine/FolderNamed.h"
#include "engine/PathText.h"
#include "engine/PlatformPath.h"
#include "ui/ClosingMessage.h"
#include "ui/MainDialog.h"
#include "ui/ProgressDialog.h"

#include <commctrl.h>
#include <objbase.h>

#include <string>

namespace {

// The folder that the source text names from the current directory, as the main dialog's check
// found it: a relative text (a bare drive too) made full, a full one kept as typed, so that the
// progress dialog shows the source as the user wrote it. Empty when the platform cannot resolve it.
std::wstring SourceFromHere(const std::wstring& folder)
{
    return IsFullPath(folder) ? folder : FolderNamed(folder);
}

// The user-interface thread's COM apartment, which the folder browser needs, from before the main
// dialog until the run is over.
class ComApartment {
public:
    ComApartment() : entered(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment()
    {
        if (entered)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    const bool entered;
};

} // namespace

Application::Application() : commandLine(GetCommandLineW())
{
    FillCopySettings(commandLine, settings);
}

bool Application::Start()
{
    const ComApartment apartment;
    InitCommonControls(); // the progress bar's class
    MainDialog mainDialog(settings);
    // Only OK (1) starts a run: 0 is Cancel or Close, and -1 a dialog that could not be created,
    // whose settings nobody has seen or confirmed.
    if (mainDialog.RunModal() != 1)
        return false;

    // The run takes the folders that the main dialog checked, both resolved here before the current
    // directory changes below; the settings keep the texts as typed.
    CopySettings run = settings;
    run.source = SourceFromHere(settings.source);
    run.destination = FolderNamed(settings.destination);
    if (run.source.empty() || run.destination.empty())
        return false;

    // The run reaches every file from the full source path, so a source that cannot be made the
    // current directory is gathered all the same: Windows refuses a current directory from 259
    // characters to a program that does not declare itself long-path aware, though the main
    // dialog's check found the folder.
    const std::wstring previous = CurrentDirectory();
    const bool entered = SetCurrentDirectoryW(run.source.c_str()) != FALSE;
    ProgressDialog progressDialog(run);
    progressDialog.RunModal(); // the worker has ended it; what the run passed over is in its report
    if (entered)
        SetCurrentDirectoryW(previous.c_str());

    // Only once the progress dialog has closed: what the run passed over, or that nothing matched.
    if (progressDialog.Finished()) {
        const std::wstring message =
            ClosingMessage(progressDialog.Report(), run.source, run.mask.empty() ? L"*" : run.mask);
        if (!message.empty())
            MessageBoxW(nullptr, message.c_str(), L"Ferrix", MB_OK | MB_ICONINFORMATION);
    }
    return false;
}
