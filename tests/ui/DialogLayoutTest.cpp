// Creates each dialog from its template with the platform's dialog manager and checks what the
// user gets: sizes and positions in pixels as the template font gives them, texts, labels that
// fit, classes, the topmost flag, the tab order, and the keys that the default button and Cancel
// answer.
#include "tests/ui/DialogTemplate.h"
#include "tests/ui/ModuleUnderTest.h"
#include "ui/resources/Resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <vector>

namespace {

DialogTemplate ReadTemplate(int name)
{
    return DialogTemplate::Read(ModuleUnderTest::Get().Resource(RT_DIALOG, MAKEINTRESOURCEW(name)));
}

INT_PTR CALLBACK PlainDialogProcedure(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// A hidden modeless dialog made from a template of the module under test, destroyed with the object.
class ModelessDialog {
public:
    explicit ModelessDialog(int name)
        : window(CreateDialogParamW(ModuleUnderTest::Get().Handle(), MAKEINTRESOURCEW(name), nullptr,
                                    PlainDialogProcedure, 0))
    {
    }
    ~ModelessDialog()
    {
        if (window)
            DestroyWindow(window);
    }
    ModelessDialog(const ModelessDialog&) = delete;
    ModelessDialog& operator=(const ModelessDialog&) = delete;

    HWND Handle() const { return window; }
    HFONT Font() const { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); }
    // Where the dialog manager puts a rectangle given in dialog units: it converts the origin
    // and the size each on its own, so the far edge can differ by one pixel from converting it.
    RECT Pixels(int x, int y, int cx, int cy) const
    {
        RECT converted{x, y, cx, cy};
        MapDialogRect(window, &converted);
        return {converted.left, converted.top, converted.left + converted.right, converted.top + converted.bottom};
    }

private:
    HWND window;
};

class DialogTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The progress bar's class exists only after this call.
        const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&classes));
    }
};

class DialogLayoutTest : public DialogTest, public testing::WithParamInterface<int> {};

void ExpectRectangle(const RECT& actual, const RECT& expected)
{
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

const wchar_t* ClassOfAtom(uint16_t atom)
{
    switch (atom) {
    case 0x0080: return L"Button";
    case 0x0081: return L"Edit";
    case 0x0082: return L"Static";
    default: return L"?";
    }
}

std::wstring WindowText(HWND window)
{
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    return text;
}

TEST_P(DialogLayoutTest, ControlsAreWhereTheTemplateFontPutsThem)
{
    const DialogTemplate layout = ReadTemplate(GetParam());
    const ModelessDialog dialog(GetParam());
    ASSERT_NE(dialog.Handle(), nullptr) << "CreateDialogParamW failed with error " << GetLastError();

    RECT client{};
    GetClientRect(dialog.Handle(), &client);
    ExpectRectangle(client, dialog.Pixels(0, 0, layout.cx, layout.cy));

    HWND child = GetWindow(dialog.Handle(), GW_CHILD);
    for (size_t index = 0; index < layout.items.size(); ++index) {
        const DialogTemplate::Item& item = layout.items[index];
        SCOPED_TRACE("control " + std::to_string(index + 1));
        ASSERT_NE(child, nullptr) << "fewer windows than controls in the template";
        EXPECT_EQ(static_cast<uint32_t>(GetWindowLongPtrW(child, GWLP_ID)), item.id);
        wchar_t className[64] = L"";
        GetClassNameW(child, className, 64);
        const wchar_t* expectedClass =
            item.windowClass.ordinal ? ClassOfAtom(item.windowClass.ordinal) : item.windowClass.name.c_str();
        EXPECT_EQ(lstrcmpiW(className, expectedClass), 0) << "class " << std::wstring(className).c_str();
        EXPECT_EQ(WindowText(child), item.text.name);
        RECT placed{};
        GetWindowRect(child, &placed);
        MapWindowPoints(nullptr, dialog.Handle(), reinterpret_cast<POINT*>(&placed), 2);
        ExpectRectangle(placed, dialog.Pixels(item.x, item.y, item.cx, item.cy));
        if (item.windowClass.ordinal == 0x0082 && !item.text.name.empty()) {
            // A label reads in full on one line: its text, as the static draws it with the
            // dialog's font, is no wider than the static. (A window DC's font goes with ReleaseDC.)
            const HDC context = GetDC(child);
            SelectObject(context, dialog.Font());
            RECT needed{};
            DrawTextW(context, item.text.name.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
            ReleaseDC(child, context);
            const LONG width = placed.right - placed.left;
            std::printf("label \"%ls\": %ld px of %ld\n", item.text.name.c_str(), needed.right, width);
            EXPECT_LE(needed.right, width) << "the label is cut";
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more windows than controls in the template";

    RECT frame{};
    GetWindowRect(dialog.Handle(), &frame);
    LOGFONTW font{};
    GetObjectW(dialog.Font(), sizeof font, &font);
    const RECT units = dialog.Pixels(0, 0, 4, 8);
    std::printf("dialog %d: window %ld x %ld px, client %ld x %ld px, font \"%ls\" height %ld, "
                "4 x 8 dialog units = %ld x %ld px\n",
                GetParam(), frame.right - frame.left, frame.bottom - frame.top, client.right, client.bottom,
                font.lfFaceName, font.lfHeight, units.right, units.bottom);
}

INSTANTIATE_TEST_SUITE_P(BothDialogs, DialogLayoutTest, testing::Values(IDD_PROGRESS, IDD_MAIN),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param == IDD_MAIN ? std::string("Main") : std::string("Progress");
                         });

TEST_F(DialogTest, OnlyTheProgressDialogIsTopmostAndEachHasItsDefaultButton)
{
    const ModelessDialog progress(IDD_PROGRESS);
    const ModelessDialog main(IDD_MAIN);
    ASSERT_NE(progress.Handle(), nullptr);
    ASSERT_NE(main.Handle(), nullptr);
    EXPECT_TRUE(GetWindowLongW(progress.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongW(main.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(SendMessageW(progress.Handle(), DM_GETDEFID, 0, 0), MAKELRESULT(IDCANCEL, DC_HASDEFID));
    EXPECT_EQ(SendMessageW(main.Handle(), DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
}

TEST_F(DialogTest, MainDialogTabsThroughItsNineInputsFromOk)
{
    const ModelessDialog main(IDD_MAIN);
    ASSERT_NE(main.Handle(), nullptr);
    const std::vector<int> expected = {IDOK, IDCANCEL, IDC_SOURCE_EDIT,
                                       IDC_BROWSE_SOURCE, IDC_DESTINATION_EDIT, IDC_BROWSE_DESTINATION,
                                       IDC_MASK_EDIT, IDC_SEPARATOR_EDIT, IDC_DELETE_CHECK};
    std::vector<int> order;
    HWND stop = GetDlgItem(main.Handle(), IDOK);
    HWND control = stop;
    do {
        order.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(main.Handle(), control, FALSE);
    } while (control != nullptr && control != stop && order.size() < 20);
    EXPECT_EQ(order, expected);
}

// One modal run: which control has the focus when the dialog opens, then a key pressed in a
// control, and the command that the dialog manager makes of it.
struct KeyPress {
    const char* name;
    int dialog;
    int focusedControl;
    WORD key;
    int expectedFocusAtStart;
    int expectedCommand;
};

void PrintTo(const KeyPress& press, std::ostream* out)
{
    *out << press.name;
}

struct KeyRun {
    const KeyPress& press;
    int focusAtStart = 0;
};

constexpr UINT pressKey = WM_APP;
constexpr UINT_PTR giveUpTimer = 1;
constexpr UINT giveUpAfter = 5000; // ms; a run that sees no command ends with 0

INT_PTR CALLBACK KeyDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetTimer(dialog, giveUpTimer, giveUpAfter, nullptr);
        // The dialog manager sets the first focus after WM_INITDIALOG returns.
        PostMessageW(dialog, pressKey, 0, 0);
        return TRUE;
    case pressKey: {
        KeyRun& run = *reinterpret_cast<KeyRun*>(GetWindowLongPtrW(dialog, DWLP_USER));
        run.focusAtStart = GetDlgCtrlID(GetFocus());
        const HWND target = GetDlgItem(dialog, run.press.focusedControl);
        SetFocus(target);
        PostMessageW(target, WM_KEYDOWN, run.press.key, 0);
        return TRUE;
    }
    case WM_COMMAND:
        // Focus changes also arrive as WM_COMMAND (EN_SETFOCUS); only a click ends the run.
        if (HIWORD(wParam) == BN_CLICKED)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_TIMER:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

class DialogKeyTest : public DialogTest, public testing::WithParamInterface<KeyPress> {};

TEST_P(DialogKeyTest, KeyEndsTheDialogWithTheExpectedCommand)
{
    KeyRun run{GetParam()};
    const INT_PTR result = DialogBoxParamW(ModuleUnderTest::Get().Handle(), MAKEINTRESOURCEW(run.press.dialog),
                                           nullptr, KeyDialogProcedure, reinterpret_cast<LPARAM>(&run));
    ASSERT_NE(result, -1) << "DialogBoxParamW failed with error " << GetLastError();
    ASSERT_NE(result, 0) << "no button command within " << giveUpAfter << " ms of the key";
    EXPECT_EQ(run.focusAtStart, run.press.expectedFocusAtStart) << "first tab stop";
    EXPECT_EQ(result, run.press.expectedCommand);
}

INSTANTIATE_TEST_SUITE_P(
    EnterAndEscape, DialogKeyTest,
    testing::Values(KeyPress{"MainEnterInEditIsOk", IDD_MAIN, IDC_SOURCE_EDIT, VK_RETURN, IDOK, IDOK},
                    KeyPress{"MainEscapeInEditIsCancel", IDD_MAIN, IDC_SOURCE_EDIT, VK_ESCAPE, IDOK, IDCANCEL},
                    KeyPress{"ProgressEnterIsCancel", IDD_PROGRESS, IDCANCEL, VK_RETURN, IDCANCEL, IDCANCEL},
                    KeyPress{"ProgressEscapeIsCancel", IDD_PROGRESS, IDCANCEL, VK_ESCAPE, IDCANCEL, IDCANCEL}),
    [](const testing::TestParamInfo<KeyPress>& info) { return std::string(info.param.name); });

} // namespace
