#include "framework/Dialog.h"

#include "framework/ApplicationBase.h"
#include "framework/WindowProcedures.h"

Dialog::Dialog(LPCWSTR templateName, HWND parent) : templateName(templateName), parent(parent) {}

LRESULT Dialog::DefaultProcessing(UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The window's WM_DESTROY and WM_NCDESTROY arrive during DestroyWindow, when only the Dialog part
// of the object is left to handle them.
Dialog::~Dialog()
{
    // A window whose destruction is refused outlives the object; the WindowBase part then takes
    // the object out of the registry.
    if (handle != nullptr)
        DestroyOwnWindow();
}

bool Dialog::OnClose()
{
    End(0);
    return true;
}

bool Dialog::OnCommand(HWND, UINT id, UINT code)
{
    // Only a click (code 0, as from a menu) or an accelerator (1) ends the dialog; a button's other
    // notifications, such as BN_SETFOCUS from a BS_NOTIFY button, do not.
    if (code > 1)
        return false;
    if (id == IDOK) {
        OnOk();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool Dialog::OnInitDialog()
{
    return true;
}

bool Dialog::OnOk()
{
    return End(1);
}

bool Dialog::OnCancel()
{
    return End(0);
}

INT_PTR Dialog::RunModal()
{
    isModal = true;
    postOnEnd = false;
    const bool realParent = parent != nullptr && parent != GetDesktopWindow();
    const bool parentWasEnabled = realParent && IsWindowEnabled(parent);
    if (parentWasEnabled)
        EnableWindow(parent, FALSE);
    // Stored as it comes, -1 included: the caller decides what a dialog that never opened means.
    result = DialogBoxParamW(instanceHandle, templateName, parent, FrameworkDialogProc, reinterpret_cast<LPARAM>(this));
    // Re-enabled only when the run disabled it. Wine's EndDialog enables the owner whatever its
    // state before the run; a parent that was disabled before is disabled again.
    if (realParent) {
        EnableWindow(parent, parentWasEnabled);
        SetActiveWindow(parent);
    }
    handle = nullptr;
    return result;
}

bool Dialog::End(int code)
{
    result = code;
    if (isModal)
        return EndDialog(handle, code) != FALSE;
    if (postOnEnd)
        return PostMessageW(handle, WM_NULL, 0, 0) != FALSE;
    return DestroyOwnWindow();
}

bool Dialog::DestroyOwnWindow()
{
    HWND window = handle;
    handle = nullptr;
    if (DestroyWindow(window))
        return true;
    // Refused, by a hook or, on Windows, because the call came from another thread: the window
    // stays bound to the object.
    handle = window;
    return false;
}
