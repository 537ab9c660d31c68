// The yardsticks of the copy benchmark: a run of Ferrix reduced to the platform calls that it
// cannot do without, so that whatever Ferrix spends beyond them is its own. Two modes:
//   plain   lists the tree with FindFirstFileW and copies each file with CopyFileW to the target
//           that Ferrix gives it, creating each target folder once; no window at all. It signals
//           READY_EVENT once it has started and waits for GO_EVENT before it touches the tree, so
//           that the benchmark times it from the moment that matches the OK press in Ferrix.
//   dialog  the same copies as a run of Ferrix must make them: Ferrix's main dialog template,
//           which OK ends (the benchmark presses it, as in Ferrix), then Ferrix's progress dialog
//           template, run modally, with a worker thread that sends per file the caption, the two
//           path texts and the progress position with SendMessageW and, when the separator makes
//           folders, walks the target path creating each folder along it.
// It shares no code with Ferrix: a yardstick that called the code it measures would hide that
// code's cost. The separator is "." or another text without slashes, or "\" for a copy of the tree.
// usage: floor_copy plain SOURCE DESTINATION SEPARATOR READY_EVENT GO_EVENT
//        floor_copy dialog SOURCE DESTINATION SEPARATOR
#include "ui/resources/Resource.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Run {
    std::wstring sourcePrefix;      // SOURCE with a trailing backslash, for the "From:" text
    std::wstring destinationPrefix; // DESTINATION with a trailing backslash
    std::wstring separator;
    bool subfolders = false;        // the separator holds a backslash: the targets make a tree
    std::vector<std::wstring> folders; // relative, each ending in a backslash; "" is the source
    std::vector<std::wstring> files;   // relative to the source, in Ferrix's copying order
};

std::wstring WithBackslash(const std::wstring& folder)
{
    return folder.empty() || folder.back() == L'\\' ? folder : folder + L'\\';
}

// One search per folder: its files first, then the folders below it, which gives the order in
// which Ferrix copies (folders in pre-order, files in the platform's order within each).
void List(const std::wstring& folder, Run& run)
{
    run.folders.push_back(folder);
    std::vector<std::wstring> below;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            run.files.push_back(folder + name);
        else if (name != L"." && name != L"..")
            below.push_back(folder + name + L'\\');
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::wstring& next : below)
        List(next, run);
}

std::wstring Target(const Run& run, const std::wstring& entry)
{
    std::wstring target = run.destinationPrefix;
    for (const wchar_t c : entry) {
        if (c == L'\\')
            target += run.separator;
        else
            target += c;
    }
    return target;
}

// Every folder along the path up to its last backslash, from the drive's root on; folders that
// exist already only fail. One such walk per file is what Ferrix does in a tree copy.
void CreateFolders(const std::wstring& path)
{
    for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
}

void CopyPlain(Run& run)
{
    List(L"", run);
    CreateFolders(run.destinationPrefix);
    if (run.subfolders)
        for (const std::wstring& folder : run.folders)
            if (!folder.empty())
                CreateDirectoryW(Target(run, folder).c_str(), nullptr); // parents come first in pre-order
    for (const std::wstring& entry : run.files)
        CopyFileW(entry.c_str(), Target(run, entry).c_str(), FALSE);
}

struct DialogRun {
    Run* run;
    HWND dialog;
};

DWORD WINAPI CopyUnderDialog(LPVOID parameter)
{
    const DialogRun& dialogRun = *static_cast<DialogRun*>(parameter);
    Run& run = *dialogRun.run;
    const HWND dialog = dialogRun.dialog;
    List(L"", run);
    const int count = static_cast<int>(run.files.size());
    const HWND fromText = GetDlgItem(dialog, IDC_FROM_TEXT);
    const HWND toText = GetDlgItem(dialog, IDC_TO_TEXT);
    const HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    SendMessageW(GetDlgItem(dialog, IDC_STATUS_TEXT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Copying:"));
    SendMessageW(GetDlgItem(dialog, IDC_FROM_LABEL), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"From:"));
    SendMessageW(GetDlgItem(dialog, IDC_TO_LABEL), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"To:"));
    SendMessageW(bar, PBM_SETRANGE32, 0, count);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    CreateFolders(run.destinationPrefix);
    for (int i = 0; i < count; ++i) {
        const std::wstring& entry = run.files[i];
        const std::wstring target = Target(run, entry);
        wchar_t caption[1024];
        swprintf(caption, 1024, L"Ferrix (%d/%d)", i + 1, count);
        SendMessageW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption));
        SendMessageW(fromText, WM_SETTEXT, 0, reinterpret_cast<LPARAM>((run.sourcePrefix + entry).c_str()));
        SendMessageW(toText, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
        if (run.subfolders)
            CreateFolders(target);
        CopyFileW(entry.c_str(), target.c_str(), FALSE);
        SendMessageW(bar, PBM_SETPOS, i, 0);
    }
    SendMessageW(bar, PBM_SETPOS, count, 0);
    EndDialog(dialog, 0);
    return 0;
}

// The main dialog's part: OK goes on to the run, Cancel and Close end the program.
INT_PTR CALLBACK MainProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SendMessageW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Ferrix"));
        SendMessageW(dialog, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP))));
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
        return TRUE;
    }
    if (message == WM_CLOSE) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

// The progress dialog's own part: the listing texts, then the worker, which ends it. Cancel and
// Close are ignored, since a benchmark run is never cancelled.
INT_PTR CALLBACK ProgressProcedure(HWND dialog, UINT message, WPARAM, LPARAM parameter)
{
    if (message == WM_INITDIALOG) {
        auto& dialogRun = *reinterpret_cast<DialogRun*>(parameter);
        dialogRun.dialog = dialog;
        SendMessageW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Ferrix"));
        SendMessageW(dialog, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP))));
        SetDlgItemTextW(dialog, IDC_STATUS_TEXT, L"Listing files ...");
        SetDlgItemTextW(dialog, IDC_FROM_LABEL, L"");
        SetDlgItemTextW(dialog, IDC_TO_LABEL, L"");
        const HANDLE worker = CreateThread(nullptr, 0, CopyUnderDialog, &dialogRun, 0, nullptr);
        if (worker == nullptr)
            EndDialog(dialog, -1);
        else
            CloseHandle(worker);
        return TRUE;
    }
    return message == WM_COMMAND || message == WM_CLOSE;
}

HANDLE OpenRunEvent(const wchar_t* name)
{
    const HANDLE event = OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, name);
    if (event == nullptr)
        std::fprintf(stderr, "floor_copy: no event %ls (error %lu)\n", name, GetLastError());
    return event;
}

bool EnterSource(const Run& run)
{
    if (SetCurrentDirectoryW(run.sourcePrefix.c_str()))
        return true;
    std::fprintf(stderr, "floor_copy: cannot enter %ls (error %lu)\n", run.sourcePrefix.c_str(), GetLastError());
    return false;
}

int RunPlain(Run& run, const wchar_t* readyName, const wchar_t* goName)
{
    const HANDLE ready = OpenRunEvent(readyName);
    const HANDLE go = OpenRunEvent(goName);
    if (ready == nullptr || go == nullptr)
        return 3;
    SetEvent(ready);
    constexpr DWORD goWait = 60000; // the benchmark sets it right after READY; only a fault waits longer
    if (WaitForSingleObject(go, goWait) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "floor_copy: no start signal within %lu ms\n", goWait);
        return 4;
    }
    if (!EnterSource(run))
        return 5;
    CopyPlain(run);
    return 0;
}

int RunDialogs(Run& run)
{
    InitCommonControls(); // the progress bar's class
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), GetDesktopWindow(), MainProcedure, 0) != 1)
        return 6; // cancelled, or -1: the dialog could not be created
    if (!EnterSource(run))
        return 5;
    DialogRun dialogRun{&run, nullptr};
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PROGRESS), GetDesktopWindow(),
                                           ProgressProcedure, reinterpret_cast<LPARAM>(&dialogRun));
    return result == 0 ? 0 : 7; // -1: the dialog or its worker could not be created
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (!(mode == L"plain" && argc == 7) && !(mode == L"dialog" && argc == 5)) {
        std::fprintf(stderr, "usage: floor_copy plain SOURCE DESTINATION SEPARATOR READY_EVENT GO_EVENT\n"
                             "       floor_copy dialog SOURCE DESTINATION SEPARATOR\n");
        return 2;
    }
    Run run;
    run.sourcePrefix = WithBackslash(argv[2]);
    run.destinationPrefix = WithBackslash(argv[3]);
    run.separator = argv[4];
    run.subfolders = run.separator.find(L'\\') != std::wstring::npos;
    return mode == L"plain" ? RunPlain(run, argv[5], argv[6]) : RunDialogs(run);
}
