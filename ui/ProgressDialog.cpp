#include "ui/ProgressDialog.h"

#include "engine/CopyWorker.h"
#include "framework/ApplicationBase.h"
#include "ui/resources/Resource.h"

namespace {

// The worker thread's start routine; its parameter is the ProgressDialog.
DWORD WINAPI RunCopyWorker(LPVOID parameter)
{
    ProgressDialog& dialog = *static_cast<ProgressDialog*>(parameter);
    return CopyWorker(dialog, dialog.cancelRequested, dialog.settings);
}

} // namespace

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

    // Short-lived wrappers of the controls, never subclassed.
    Window status, fromLabel, toLabel;
    status.handle = GetDlgItem(handle, IDC_STATUS_TEXT);
    fromLabel.handle = GetDlgItem(handle, IDC_FROM_LABEL);
    toLabel.handle = GetDlgItem(handle, IDC_TO_LABEL);
    SetWindowTextW(status.handle, L"Listing files ...");
    SetWindowTextW(fromLabel.handle, L"");
    SetWindowTextW(toLabel.handle, L"");

    DWORD threadId = 0;
    const HANDLE worker = CreateThread(nullptr, 0, RunCopyWorker, this, 0, &threadId);
    if (worker == nullptr)
        End(0);
    else
        CloseHandle(worker); // nobody waits for the worker; it ends the dialog itself
    return true;
}
