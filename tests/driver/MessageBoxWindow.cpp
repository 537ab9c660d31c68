#include "tests/driver/MessageBoxWindow.h"

#include "tests/driver/RemoteControls.h"

namespace {

constexpr int textControl = 0xFFFF;

} // namespace

WindowQuery MessageBoxWindow::OwnedBy(HWND owner)
{
    return WindowQuery().OfClass(L"#32770").WithControl(textControl).OwnedBy(owner);
}

std::wstring MessageBoxWindow::Text() const
{
    return CaptionOf(Control(handle, textControl));
}

std::wstring MessageBoxWindow::Caption() const
{
    return CaptionOf(handle);
}

std::vector<int> MessageBoxWindow::Buttons() const
{
    std::vector<int> buttons;
    for (HWND child = GetWindow(handle, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && ClassOf(child) == L"Button")
            buttons.push_back(GetDlgCtrlID(child));
    return buttons;
}

void MessageBoxWindow::Answer(int button) const
{
    PostClick(Control(handle, button));
}
