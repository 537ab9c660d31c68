#include "tests/framework/ProbeWindow.h"
#include "tests/framework/ScriptedDialog.h"
#include "tests/framework/TestResources.h"

#include "framework/ApplicationBase.h"
#include "framework/ModelessDialogList.h"
#include "framework/WindowProcedures.h"
#include "framework/WindowRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

WNDPROC ProcedureOf(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

std::wstring TextOf(HWND window)
{
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

// A class of the test's own with a procedure that is not the framework's; it notes the window
// that last received WM_NCDESTROY.
const wchar_t* const foreignClass = L"Framework Test Foreign";
HWND lastNcDestroyed = nullptr;

LRESULT CALLBACK ForeignProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        lastNcDestroyed = window;
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterForeignClass()
{
    WNDCLASSEXW data{};
    data.cbSize = sizeof data;
    if (GetClassInfoExW(instanceHandle, foreignClass, &data))
        return;
    data.lpfnWndProc = ForeignProc;
    data.hInstance = instanceHandle;
    data.lpszClassName = foreignClass;
    ASSERT_NE(RegisterClassExW(&data), 0);
}

class ForeignWindow : public ProbeWindow {
public:
    void PrepareCreate(CREATESTRUCTW& create) override { create.lpszClass = foreignClass; }
};

class TimedWindow : public ProbeWindow {
public:
    bool OnTimer(UINT id) override
    {
        timerId = id;
        return true;
    }
    UINT timerId = 0;
};

class WindowProceduresTest : public testing::Test {
protected:
    void SetUp() override { instanceHandle = GetModuleHandleW(nullptr); }
};

TEST_F(WindowProceduresTest, CreateRegistersTheFrameworkClassOnceAndBindsAtNcCreate)
{
    ProbeWindow first, second;
    ASSERT_TRUE(first.Create(nullptr));
    ASSERT_TRUE(second.Create(nullptr));

    WNDCLASSEXW data{};
    data.cbSize = sizeof data;
    ASSERT_TRUE(GetClassInfoExW(instanceHandle, L"Qarno Window", &data));
    EXPECT_EQ(data.lpfnWndProc, FrameworkWindowProc);
    EXPECT_EQ(data.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(data.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(GetClassLongPtrW(first.handle, GCW_ATOM), GetClassLongPtrW(second.handle, GCW_ATOM));

    // The overlapped window's WM_GETMINMAXINFO comes before WM_NCCREATE and never reaches it.
    ASSERT_FALSE(first.previewed.empty());
    EXPECT_EQ(first.previewed.front(), UINT{WM_NCCREATE});
    EXPECT_FALSE(first.Subclass()) << "the window already uses the framework's procedure";
    EXPECT_EQ(WindowRegistry::shared.Find(first.handle), &first);
}

TEST_F(WindowProceduresTest, WindowsOfForeignClassesAreSubclassedAtOnce)
{
    RegisterForeignClass();
    ForeignWindow foreign;
    ASSERT_TRUE(foreign.Create(nullptr));
    EXPECT_EQ(ProcedureOf(foreign.handle), FrameworkWindowProc);
    EXPECT_EQ(WindowRegistry::shared.Find(foreign.handle), &foreign);

    ProbeWindow parent;
    ASSERT_TRUE(parent.Create(nullptr));
    TimedWindow button;
    ASSERT_TRUE(button.CreateOfClass(L"BUTTON", nullptr, L"b", WS_CHILD, 0, parent.handle, nullptr));
    EXPECT_EQ(ProcedureOf(button.handle), FrameworkWindowProc);
    SendMessageW(button.handle, WM_TIMER, 5, 0);
    EXPECT_EQ(button.timerId, 5u);
    EXPECT_FALSE(button.Subclass()) << "a second Subclass is refused";

    ProbeWindow own;
    ASSERT_TRUE(own.CreateOfClass(L"Qarno Window", nullptr, nullptr, WS_CHILD, 0, parent.handle, nullptr));
    ASSERT_FALSE(own.previewed.empty());
    EXPECT_EQ(own.previewed.front(), UINT{WM_NCCREATE}) << "the framework's class binds at creation";
}

TEST_F(WindowProceduresTest, SubclassNeedsALiveWindow)
{
    Window nothing;
    EXPECT_FALSE(nothing.Subclass());

    Window gone;
    gone.handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, instanceHandle, nullptr);
    ASSERT_TRUE(DestroyWindow(gone.handle));
    EXPECT_FALSE(gone.Subclass());
    EXPECT_EQ(WindowRegistry::shared.Find(gone.handle), nullptr);
}

TEST_F(WindowProceduresTest, ASubclassingObjectHandsTheWindowBackWhenDestroyed)
{
    ScriptedDialog dialog;
    ASSERT_TRUE(dialog.OpenModeless());
    const HWND window = dialog.handle;
    const WNDPROC original = ProcedureOf(window);
    EXPECT_NE(ModelessDialogList::shared.IndexOf(window), -1);
    {
        Window subclasser;
        subclasser.handle = window;
        ASSERT_TRUE(subclasser.Subclass());
        EXPECT_EQ(ProcedureOf(window), FrameworkWindowProc);
        EXPECT_EQ(WindowRegistry::shared.Find(window), &subclasser);
    }
    EXPECT_EQ(ProcedureOf(window), original);
    EXPECT_EQ(WindowRegistry::shared.Find(window), &dialog) << "the previous owner is back";

    // Cancel in a dialog that is not modal destroys it and takes it off the list.
    SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.handle, nullptr);
    EXPECT_EQ(dialog.result, 0);
    EXPECT_EQ(WindowRegistry::shared.Find(window), nullptr);
    EXPECT_EQ(ModelessDialogList::shared.IndexOf(window), -1);
}

// Subclasses a dialog and writes what it sees into the dialog's own log, complemented.
class DialogSubclass : public Window {
public:
    explicit DialogSubclass(ScriptedDialog& dialog) : log(dialog.routed) {}
    bool PreviewMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        log.push_back(~message);
        return false;
    }
    std::vector<UINT>& log;
};

TEST_F(WindowProceduresTest, ASubclassedDialogStillReachesItsOwnObject)
{
    ScriptedDialog dialog;
    ASSERT_TRUE(dialog.OpenModeless());
    const HWND window = dialog.handle;
    DialogSubclass subclass(dialog);
    subclass.handle = window;
    ASSERT_TRUE(subclass.Subclass());
    dialog.routed.clear();

    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"renamed"));
    // Cancel passes the subclassing object and ends the dialog.
    SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(window));

    // Each message reached the subclassing object first, then the dialog's own.
    ASSERT_EQ(dialog.routed.size() % 2, 0u);
    for (std::size_t i = 0; i < dialog.routed.size(); i += 2)
        EXPECT_EQ(dialog.routed[i], ~dialog.routed[i + 1]) << "at " << i;
    EXPECT_EQ(dialog.routed.back(), UINT{WM_NCDESTROY});
    EXPECT_EQ(subclass.handle, nullptr);
    EXPECT_EQ(WindowRegistry::shared.Find(window), nullptr);
}

// A subclass that other code installs with SetWindowLongPtrW and CallWindowProcW; it counts the
// caption-length questions that pass it.
WNDPROC foreignReplaced = nullptr;
int foreignCalls = 0;

LRESULT CALLBACK ForeignSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    foreignCalls += message == WM_GETTEXTLENGTH;
    return CallWindowProcW(foreignReplaced, window, message, wParam, lParam);
}

// Counts the caption-length questions that reach it, and may leave the chain while it handles one.
class CountingLayer : public Window {
public:
    bool PreviewMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        if (message == WM_GETTEXTLENGTH && ++calls == 1 && leavesInHandler)
            Unsubclass();
        return false;
    }
    int calls = 0;
    bool leavesInHandler = false;
};

// From the bottom: a window of the framework's class or a dialog, for the dialog a lower framework
// layer, a foreign subclass, and a framework layer on top.
struct Chain {
    bool dialog, lowerLeavesFirst, upperLeavesInHandler;
};

class SubclassChainTest : public WindowProceduresTest, public testing::WithParamInterface<Chain> {};

TEST_P(SubclassChainTest, EachLayerTakesTheMessageOnce)
{
    const Chain chain = GetParam();
    ProbeWindow window;
    ScriptedDialog dialog;
    ASSERT_TRUE(chain.dialog ? dialog.OpenModeless() : window.Create(nullptr));
    const HWND handle = chain.dialog ? dialog.handle : window.handle;
    SetWindowTextW(handle, L"chain");
    CountingLayer lower, upper;
    lower.handle = upper.handle = handle;
    ASSERT_TRUE(!chain.dialog || lower.Subclass());
    foreignReplaced = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignSubclassProc)));
    ASSERT_TRUE(upper.Subclass());
    if (chain.lowerLeavesFirst)
        lower.Unsubclass(); // the foreign subclass above it must stay in the chain
    upper.leavesInHandler = chain.upperLeavesInHandler;
    foreignCalls = 0;

    EXPECT_EQ(SendMessageW(handle, WM_GETTEXTLENGTH, 0, 0), 5);
    EXPECT_EQ(upper.calls, 1);
    EXPECT_EQ(foreignCalls, 1);
    EXPECT_EQ(lower.calls, chain.dialog && !chain.lowerLeavesFirst ? 1 : 0);
    const std::vector<UINT>& own = chain.dialog ? dialog.routed : window.previewed;
    EXPECT_EQ(std::count(own.begin(), own.end(), UINT{WM_GETTEXTLENGTH}), 1);
    ASSERT_TRUE(DestroyWindow(handle));
    EXPECT_EQ(WindowRegistry::shared.Find(handle), nullptr);
    EXPECT_EQ(ModelessDialogList::shared.IndexOf(handle), -1);
}

INSTANTIATE_TEST_SUITE_P(Chains, SubclassChainTest,
                         testing::Values(Chain{false, false, false}, Chain{true, false, false},
                                         Chain{true, true, false}, Chain{false, false, true},
                                         Chain{true, false, true}));

// Default processing asked for outside the layer's own routing goes on from its place in the
// chain: the layer does not see the message again, the procedures beneath it see it once.
TEST_F(WindowProceduresTest, DefaultProcessingOutsideRoutingGoesOnBeneathTheLayer)
{
    ProbeWindow window;
    ASSERT_TRUE(window.Create(nullptr));
    SetWindowTextW(window.handle, L"chain");
    foreignReplaced = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window.handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignSubclassProc)));
    CountingLayer upper;
    upper.handle = window.handle;
    ASSERT_TRUE(upper.Subclass());
    foreignCalls = 0;

    EXPECT_EQ(upper.DefaultProcessing(WM_GETTEXTLENGTH, 0, 0), 5);
    EXPECT_EQ(upper.calls, 0);
    EXPECT_EQ(foreignCalls, 1);
    EXPECT_EQ(std::count(window.previewed.begin(), window.previewed.end(), UINT{WM_GETTEXTLENGTH}), 1);
}

// Takes the window's last message as handled, and asks for the caption's length meanwhile.
class LastMessageHelper : public Window {
public:
    explicit LastMessageHelper(LRESULT& captionLength) : captionLength(captionLength) {}
    bool OnNcDestroy() override
    {
        captionLength = SendMessageW(handle, WM_GETTEXTLENGTH, 0, 0);
        return true;
    }
    LRESULT& captionLength;
};

// Takes its last message as handled too, and drops the helper that subclasses it once it is gone.
class HelpedDialog : public ScriptedDialog {
public:
    bool OnNcDestroy() override { return ++ncDestroyed > 0; }
    void OnWindowGone() override { helper.reset(); }
    LRESULT captionLength = 0;
    std::unique_ptr<LastMessageHelper> helper = std::make_unique<LastMessageHelper>(captionLength);
    int ncDestroyed = 0;
};

TEST_F(WindowProceduresTest, TheLastMessageReachesEveryLayer)
{
    HelpedDialog dialog;
    ASSERT_TRUE(dialog.OpenModeless());
    const HWND window = dialog.handle;
    dialog.helper->handle = window;
    ASSERT_TRUE(dialog.helper->Subclass());
    const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);

    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(dialog.captionLength, 14) << "the length of \"Framework test\", asked in the helper's last message";
    EXPECT_EQ(dialog.ncDestroyed, 1);
    EXPECT_EQ(dialog.helper, nullptr) << "the dialog's OnWindowGone ran";
    EXPECT_EQ(WindowRegistry::shared.Find(window), nullptr);
    EXPECT_EQ(ModelessDialogList::shared.IndexOf(window), -1);
    LOGFONTW face;
    EXPECT_EQ(GetObjectW(font, sizeof face, &face), 0) << "the dialog manager frees the template's font";
}

TEST_F(WindowProceduresTest, TheFinalMessageReachesTheReplacedProcedureWithItsWindow)
{
    RegisterForeignClass();
    Window object;
    object.handle = CreateWindowExW(0, foreignClass, L"", 0, 0, 0, 10, 10, nullptr, nullptr, instanceHandle, nullptr);
    ASSERT_TRUE(object.Subclass());
    const HWND window = object.handle;
    lastNcDestroyed = nullptr;
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(lastNcDestroyed, window);
    EXPECT_EQ(object.handle, nullptr);
}

TEST_F(WindowProceduresTest, DialogMessagesBeforeInitDialogAreNotRouted)
{
    ScriptedDialog dialog;
    ASSERT_TRUE(dialog.OpenModeless());
    ASSERT_FALSE(dialog.routed.empty());
    EXPECT_EQ(dialog.routed.front(), UINT{WM_INITDIALOG}) << "WM_SETFONT came first and must not be routed";
    // OnInitDialog's true lets the dialog manager focus the first control.
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.handle, IDC_TEST_EDIT));
}

TEST_F(WindowProceduresTest, DestroyingADialogDestroysItsWindow)
{
    HWND window;
    {
        ScriptedDialog dialog;
        ASSERT_TRUE(dialog.OpenModeless());
        window = dialog.handle;
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(WindowRegistry::shared.Find(window), nullptr);
    EXPECT_EQ(ModelessDialogList::shared.IndexOf(window), -1);
}

// An object of the framework's class destroyed while its window lives must not stay in the
// registry: the window's next message would call into freed memory.
TEST_F(WindowProceduresTest, AnObjectDestroyedBeforeItsWindowLeavesNoEntry)
{
    auto object = std::make_unique<Window>();
    ASSERT_TRUE(object->Create(nullptr));
    const HWND window = object->handle;
    object.reset();
    ASSERT_EQ(WindowRegistry::shared.Find(window), nullptr) << "the next message would reach freed memory";
    // The window lives on with the platform's default processing.
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"still here"));
    EXPECT_EQ(TextOf(window), L"still here");
    EXPECT_TRUE(DestroyWindow(window));

    // An entry that names another object is left alone, and so is one seen through a wrapper.
    ProbeWindow owner, other;
    ASSERT_TRUE(owner.Create(nullptr));
    {
        Window wrapper;
        wrapper.handle = owner.handle;
    }
    EXPECT_EQ(WindowRegistry::shared.Find(owner.handle), &owner);
    auto replaced = std::make_unique<Window>();
    ASSERT_TRUE(replaced->Create(nullptr));
    const HWND renamed = replaced->handle;
    WindowRegistry::shared.Set(renamed, &other);
    replaced.reset();
    EXPECT_EQ(WindowRegistry::shared.Find(renamed), &other);
    other.handle = renamed; // so that `other` destroys the window
}

// Refuses every window's destruction while it is installed, as a CBT hook may.
LRESULT CALLBACK RefuseDestruction(int code, WPARAM wParam, LPARAM lParam)
{
    return code == HCBT_DESTROYWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

// Refuses its creation at WM_CREATE and counts how often it hears that its window is gone.
class RefusedWindow : public Window {
public:
    bool PreviewMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override
    {
        result = -1;
        return message == WM_CREATE;
    }
    void OnWindowGone() override { ++gone; }
    int gone = 0;
};

TEST_F(WindowProceduresTest, NoEntryNamesADestroyedObject)
{
    // OnWindowGone once per failed creation: from the final message when the window had reached
    // the object, else from the creation itself.
    RefusedWindow refused;
    EXPECT_FALSE(refused.Create(nullptr));
    EXPECT_EQ(refused.gone, 1);
    EXPECT_FALSE(refused.CreateOfClass(L"No Such Class", nullptr, nullptr, 0, 0, nullptr, nullptr));
    EXPECT_EQ(refused.gone, 2);

    // A dialog object goes while another object subclasses its window, which a hook keeps alive.
    auto dialog = std::make_unique<ScriptedDialog>();
    ASSERT_TRUE(dialog->OpenModeless());
    const HWND window = dialog->handle;
    {
        Window subclass;
        subclass.handle = window;
        ASSERT_TRUE(subclass.Subclass());
        const HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseDestruction, nullptr, GetCurrentThreadId());
        EXPECT_FALSE(dialog->End(0));
        EXPECT_EQ(dialog->handle, window) << "a refused End leaves the dialog bound";
        dialog.reset();
        UnhookWindowsHookEx(hook);
        ASSERT_TRUE(IsWindow(window));
    }
    ASSERT_EQ(WindowRegistry::shared.Find(window), nullptr) << "the window's next message would reach a freed object";
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(ModelessDialogList::shared.IndexOf(window), -1);
}

// Handlers that throw; the procedures must answer as for an unhandled message.
class ThrowingWindow : public ProbeWindow {
public:
    bool OnClose() override { throw std::runtime_error("close"); }
    bool OnChar(UINT, UINT, UINT) override { throw std::runtime_error("char"); }
    bool OnNcDestroy() override { throw std::runtime_error("ncdestroy"); }
    void OnWindowGone() override { ++gone; }
    int gone = 0;
};

class ThrowingDialog : public ScriptedDialog {
public:
    bool OnMove(UINT, UINT) override { throw std::runtime_error("move"); }
};

TEST_F(WindowProceduresTest, AThrowingHandlerCountsAsNotHandled)
{
    ThrowingWindow window;
    ASSERT_TRUE(window.Create(nullptr));
    const HWND closed = window.handle;
    // Unhandled, WM_CLOSE destroys the window; the throwing OnNcDestroy still ends unbound.
    EXPECT_EQ(SendMessageW(closed, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(closed));
    EXPECT_EQ(window.handle, nullptr);
    EXPECT_EQ(window.gone, 1);
    EXPECT_EQ(WindowRegistry::shared.Find(closed), nullptr);

    // A subclassed edit gets the character from its own procedure.
    ProbeWindow parent;
    ASSERT_TRUE(parent.Create(nullptr));
    ThrowingWindow edit;
    ASSERT_TRUE(edit.CreateOfClass(L"EDIT", nullptr, L"", WS_CHILD, 0, parent.handle, nullptr));
    SendMessageW(edit.handle, WM_CHAR, L'x', 1);
    EXPECT_EQ(TextOf(edit.handle), L"x");

    ThrowingDialog dialog;
    ASSERT_TRUE(dialog.OpenModeless());
    EXPECT_EQ(FrameworkDialogProc(dialog.handle, WM_MOVE, 0, 0), FALSE);
    EXPECT_TRUE(IsWindow(dialog.handle));
}

} // namespace
