#include "app/Application.h"

#include "engine/FolderNamed.h"
#include "engine/PlatformPath.h"
#include "ui/MainDialog.h"
#include "ui/ProgressDialog.h"

#include <commctrl.h>

#include <string>

namespace {

// Whether a folder text names the same folder whatever the current directory: a drive and a
// delimiter (C:\ or C:/), or two delimiters (a share or a device: \\server\share, \\?\C:\).
// Every other text depends on it, D:flat (on the current directory of drive D) and \flat (on the
// current drive) too.
bool IsFullPath(const std::wstring& folder)
{
    const auto isDelimiter = [&](size_t at) {
        return at < folder.size() && (folder[at] == L'\\' || folder[at] == L'/');
    };
    return (isDelimiter(0) && isDelimiter(1)) || (folder.size() > 1 && folder[1] == L':' && isDelimiter(2));
}

// The folder that the source text names from the current directory, as the main dialog's check
// found it: a relative text (a bare drive too) made full, a full one kept as typed, so that the
// progress dialog shows the source as the user wrote it. Empty when the platform cannot resolve it.
std::wstring SourceFromHere(const std::wstring& folder)
{
    return IsFullPath(folder) ? folder : FolderNamed(folder);
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
    progressDialog.RunModal(); // the worker has ended it; it reports nothing, so the result says nothing
    if (entered)
        SetCurrentDirectoryW(previous.c_str());
    return false;
}
