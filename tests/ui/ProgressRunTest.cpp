#include "tests/ui/ProgressRunTest.h"

#include "framework/ApplicationBase.h"

#include <windows.h>
#include <commctrl.h>

void ProgressRunTest::SetUpTestSuite()
{
    // The templates come from this executable, which links the resource object.
    instanceHandle = GetModuleHandleW(nullptr);
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
}

ProgressRunTest::ProgressRunTest() : source(root / L"src"), destination(root / L"dst")
{
    MakeFolders(source);
    settings.source = source;
    settings.destination = destination;
}

void ProgressRunTest::Run(ObservedProgressDialog& dialog)
{
    const CurrentDirectoryScope inSource(settings.source);
    EXPECT_EQ(dialog.RunModal(), 0) << "the run should end with 0 (-1: the dialog did not open)";
}

ObservedProgressDialog::Trace ProgressRunTest::Run()
{
    ObservedProgressDialog dialog(settings);
    Run(dialog);
    return dialog.trace;
}

void ProgressRunTest::WriteSource(const std::wstring& relative, const std::string& bytes)
{
    WriteFileBytes(source + L"\\" + relative, bytes);
}
