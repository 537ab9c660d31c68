// MainDialog's information box, in the test's own process: ShowMessage formats into a buffer of
// 1024 characters, and a longer text is cut there instead of being written past it.
#include "engine/CopySettings.h"
#include "framework/ApplicationBase.h"
#include "tests/driver/MessageBoxWindow.h"
#include "tests/driver/RemoteControls.h"
#include "tests/driver/Wait.h"
#include "ui/MainDialog.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Shows one message as soon as it is up, then ends.
class MessageDialog : public MainDialog {
public:
    MessageDialog(CopySettings& settings, const std::wstring& message) : MainDialog(settings), message(message) {}

    bool OnInitDialog() override
    {
        MainDialog::OnInitDialog();
        ShowMessage(message.c_str());
        End(0);
        return true;
    }

private:
    const std::wstring message;
};

TEST(ShowMessageTest, ATextLongerThanTheBufferIsCutAtItsEnd)
{
    instanceHandle = GetModuleHandleW(nullptr); // the test links the dialog templates
    std::wstring message;
    while (message.size() < 3000)
        message += L"0123456789";
    CopySettings settings;
    MessageDialog dialog(settings, message);

    std::wstring shown;
    std::thread reader([&] {
        // The only message box of this process; its owner is the dialog.
        const WindowQuery query = WindowQuery().OfClass(L"#32770").WithControl(0xFFFF);
        HWND box = nullptr;
        if (WaitUntil([&] {
                for (HWND window : TopWindowsOf(GetCurrentProcessId()))
                    if (query.Matches(window))
                        box = window;
                return box != nullptr;
            })) {
            shown = MessageBoxWindow(box).Text();
            MessageBoxWindow(box).Answer(IDOK);
        }
    });
    dialog.RunModal();
    reader.join();
    EXPECT_EQ(shown, message.substr(0, 1023));
}

} // namespace
