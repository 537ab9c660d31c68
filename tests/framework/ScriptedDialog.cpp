#include "tests/framework/ScriptedDialog.h"

#include "tests/framework/TestResources.h"

#include "framework/ApplicationBase.h"
#include "framework/WindowProcedures.h"

namespace {

const UINT_PTR safetyTimer = 0x5AFE;

} // namespace

ScriptedDialog::ScriptedDialog(HWND parent) : Dialog(MAKEINTRESOURCEW(IDD_TEST_DIALOG), parent) {}

bool ScriptedDialog::OpenModeless()
{
    return CreateDialogParamW(instanceHandle, templateName, parent, FrameworkDialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool ScriptedDialog::PreviewMessage(UINT message, WPARAM, LPARAM, LRESULT&)
{
    routed.push_back(message);
    return false;
}

bool ScriptedDialog::OnInitDialog()
{
    SetTimer(handle, safetyTimer, 5000, nullptr);
    if (onInit)
        onInit(*this);
    return Dialog::OnInitDialog();
}

bool ScriptedDialog::OnTimer(UINT id)
{
    if (id != safetyTimer)
        return false;
    End(timedOut);
    return true;
}
