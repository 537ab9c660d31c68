#include "tests/ui/ObservedProgressDialog.h"

#include "ui/resources/Resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

const UINT_PTR safetyTimer = 0x5AFE;

struct ControlName {
    int id;
    const wchar_t* name;
};
const ControlName observedControls[6] = {
    {IDC_STATUS_TEXT, L"status"}, {IDC_FROM_LABEL, L"fromLabel"}, {IDC_TO_LABEL, L"toLabel"},
    {IDC_FROM_TEXT, L"from"},     {IDC_TO_TEXT, L"to"},           {IDC_PROGRESS_BAR, L"bar"},
};

} // namespace

ObservedProgressDialog::ObservedProgressDialog(const CopySettings& settings) : ProgressDialog(settings) {}

bool ObservedProgressDialog::PreviewMessage(UINT message, WPARAM, LPARAM lParam, LRESULT&)
{
    if (message == WM_SETTEXT) {
        const std::wstring caption = reinterpret_cast<const wchar_t*>(lParam);
        if (caption.starts_with(L"Ferrix (") && bigIcon == nullptr) {
            topmost = (GetWindowLongPtrW(handle, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            bigIcon = reinterpret_cast<HICON>(SendMessageW(handle, WM_GETICON, ICON_BIG, 0));
        }
        Record(L"caption " + caption);
    }
    return false;
}

bool ObservedProgressDialog::OnInitDialog()
{
    for (int index = 0; index < 6; ++index) {
        RecordingControl& control = controls[index];
        control.owner = this;
        control.name = observedControls[index].name;
        control.handle = GetDlgItem(handle, observedControls[index].id);
        EXPECT_TRUE(control.Subclass()) << "control " << observedControls[index].id;
    }
    SetTimer(handle, safetyTimer, 30000, nullptr);
    return ProgressDialog::OnInitDialog();
}

bool ObservedProgressDialog::OnTimer(UINT id)
{
    if (id != safetyTimer)
        return false;
    ADD_FAILURE() << "the worker did not end the progress dialog within 30 s";
    KillTimer(handle, safetyTimer);
    cancelRequested = true;
    return true;
}

bool ObservedProgressDialog::RecordingControl::PreviewMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    if (message == WM_SETTEXT)
        owner->Record(name + std::wstring(L" ") + reinterpret_cast<const wchar_t*>(lParam));
    else if (message == PBM_SETRANGE32)
        owner->Record(L"range " + std::to_wstring(wParam) + L" " + std::to_wstring(lParam));
    else if (message == PBM_SETPOS)
        owner->Record(L"position " + std::to_wstring(wParam));
    return false;
}

void ObservedProgressDialog::Record(const std::wstring& line)
{
    trace.push_back(line);
    if (onRecord)
        onRecord(*this, line);
}
