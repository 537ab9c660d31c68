#include "tests/ui/FerrixTest.h"

#include "tests/driver/RemoteControls.h"
#include "ui/resources/Resource.h"

namespace {

// Paths from the build (narrow literals, widened by concatenation), made full before any test
// changes folders.
const std::wstring ferrixPath = FullPath(L"" FERRIX_EXE);
const std::wstring screenshotFolder = FullPath(L"" FERRIX_SCREENSHOTS);

} // namespace

std::wstring FerrixTest::FerrixCommand(const std::wstring& arguments)
{
    return L"\"" + ferrixPath + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
}

std::wstring FerrixTest::Quote(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

std::wstring FerrixTest::ScreenshotPath(const std::wstring& name)
{
    MakeFolders(screenshotFolder);
    return screenshotFolder + L"\\" + name;
}

HWND FerrixTest::WaitForMainDialog(const DrivenProcess& ferrix)
{
    return ferrix.WaitForWindow(WindowQuery().OfClass(L"#32770").Captioned(L"Ferrix").WithControl(IDC_SOURCE_EDIT));
}

HWND FerrixTest::WaitForProgressDialog(const DrivenProcess& ferrix)
{
    return ferrix.WaitForWindow(WindowQuery().OfClass(L"#32770").WithControl(IDC_PROGRESS_BAR));
}

MessageBoxWindow FerrixTest::WaitForMessageBox(const DrivenProcess& ferrix, HWND owner)
{
    return MessageBoxWindow(ferrix.WaitForWindow(MessageBoxWindow::OwnedBy(owner)));
}

std::wstring FerrixTest::AnswerClosingMessage(const DrivenProcess& ferrix)
{
    // Owned by no window; the main dialog, with its statics of identifier -1, is no such box.
    const MessageBoxWindow box(ferrix.WaitForWindow(
        WindowQuery().OfClass(L"#32770").Captioned(L"Ferrix").WithControl(0xFFFF).WithoutControl(IDC_SOURCE_EDIT)));
    const std::wstring text = box.Text();
    EXPECT_EQ(GetWindow(box.handle, GW_OWNER), nullptr) << "for the message " << Utf8(text);
    EXPECT_EQ(box.Buttons(), std::vector<int>{IDOK}) << "for the message " << Utf8(text);
    box.Answer(IDOK);
    ferrix.WaitForWindowGone(box.handle, "the closing message");
    return text;
}

std::wstring FerrixTest::EditText(HWND mainDialog, int index)
{
    return TextOf(Control(mainDialog, IDC_SOURCE_EDIT + index));
}

void FerrixTest::Fill(HWND mainDialog, const std::wstring& source, const std::wstring& destination,
                      const std::wstring& mask, const std::wstring& separator)
{
    const std::wstring texts[] = {source, destination, mask, separator};
    for (int index = 0; index < 4; ++index)
        SetText(Control(mainDialog, IDC_SOURCE_EDIT + index), texts[index]);
}

std::wstring FerrixTest::PressOkAndAnswer(const DrivenProcess& ferrix, HWND mainDialog, int answer,
                                          const std::vector<int>& buttons)
{
    PostClick(Control(mainDialog, IDOK));
    const MessageBoxWindow box = WaitForMessageBox(ferrix, mainDialog);
    const std::wstring text = box.Text();
    EXPECT_EQ(box.Caption(), L"Ferrix") << "for the message " << Utf8(text);
    EXPECT_EQ(box.Buttons(), buttons) << "for the message " << Utf8(text);
    box.Answer(answer);
    ferrix.WaitForWindowGone(box.handle, "the message box");
    return text;
}
