#include "ui/ProgressDialog.h"

#include "engine/CopyWorker.h"
#include "framework/ApplicationBase.h"
#include "ui/resources/Resource.h"

#include <commctrl.h>

#include <cwchar>
#include <utility>

ProgressDialog::ProgressDialog(const CopySettings& settings)
    : Dialog(MAKEINTRESOURCEW(IDD_PROGRESS), GetDesktopWindow()), settings(settings)
{
}

bool ProgressDialog::OnClose()
{
    cancelRequested.store(true, std::memory_order_relaxed);
    return true;
}

bool ProgressDialog::OnCommand(HWND, UINT id, UINT)
{
    if (id == IDCANCEL)
        cancelRequested.store(true, std::memory_order_relaxed);
    return true;
}

bool ProgressDialog::OnInitDialog()
{
    SetWindowTextW(handle, L"Ferrix");
    const HICON icon = LoadIconW(instanceHandle, MAKEINTRESOURCEW(IDI_APP));
    SendMessageW(handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    status = GetDlgItem(handle, IDC_STATUS_TEXT);
    fromLabel = GetDlgItem(handle, IDC_FROM_LABEL);
    toLabel = GetDlgItem(handle, IDC_TO_LABEL);
    fromText = GetDlgItem(handle, IDC_FROM_TEXT);
    toText = GetDlgItem(handle, IDC_TO_TEXT);
    bar = GetDlgItem(handle, IDC_PROGRESS_BAR);
    SetWindowTextW(status, L"Listing files ...");
    SetWindowTextW(fromLabel, L"");
    SetWindowTextW(toLabel, L"");
    // A button that cannot be subclassed still cancels, held keys included.
    cancelButton.handle = GetDlgItem(handle, IDCANCEL);
    cancelButton.Subclass();

    DWORD threadId = 0;
    const HANDLE worker = CreateThread(nullptr, 0, RunWorker, this, 0, &threadId);
    if (worker == nullptr)
        End(0);
    else
        CloseHandle(worker); // nobody waits for the worker; it ends the dialog itself
    return true;
}

DWORD WINAPI ProgressDialog::RunWorker(LPVOID parameter)
{
    ProgressDialog& dialog = *static_cast<ProgressDialog*>(parameter);
    return CopyWorker(dialog, dialog.cancelRequested, dialog.settings);
}

void ProgressDialog::ShowCopying()
{
    SetWindowTextW(status, L"Copying:");
    SetWindowTextW(fromLabel, L"From:");
    SetWindowTextW(toLabel, L"To:");
}

void ProgressDialog::SetRange(int count)
{
    SendMessageW(bar, PBM_SETRANGE32, 0, count);
}

void ProgressDialog::SetPosition(int position)
{
    SendMessageW(bar, PBM_SETPOS, position, 0);
}

void ProgressDialog::ShowFile(int number, int count, const std::wstring& from, const std::wstring& to)
{
    wchar_t caption[1024];
    swprintf(caption, 1024, L"Ferrix (%d/%d)", number, count);
    SetWindowTextW(handle, caption);
    SetWindowTextW(fromText, from.c_str());
    SetWindowTextW(toText, to.c_str());
}

void ProgressDialog::Finish(RunReport finalReport)
{
    report = std::move(finalReport);
    finished.store(true, std::memory_order_release);
    End(0);
}
