#include "tests/framework/ProbeWindow.h"
#include "tests/framework/ScriptedDialog.h"
#include "tests/framework/TestResources.h"

#include "framework/ApplicationBase.h"
#include "framework/WindowRegistry.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

// What DefaultProcessing answers for the message under test, so that a test sees it ran.
const LRESULT defaultMarker = 0xDEF;

// A window whose handlers record their arguments and answer what the test sets.
class RoutedWindow : public ProbeWindow {
public:
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != markedMessage)
            return ProbeWindow::DefaultProcessing(message, wParam, lParam);
        ++defaultCalls;
        return defaultMarker;
    }
    bool PreviewMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        ProbeWindow::PreviewMessage(message, wParam, lParam, result);
        if (message != previewMessage)
            return false;
        result = previewResult;
        return previewTakes;
    }
    bool OnTimer(UINT id) override
    {
        timerId = id;
        return handles;
    }
    bool OnEraseBkgnd(HDC) override { return handles; }
    LRESULT OnCtlColorStatic(HDC, HWND) override { return colorAnswer; }
    UINT OnNcHitTest(UINT) override { return hitTestAnswer; }
    bool OnMeasureItem(UINT, MEASUREITEMSTRUCT*) override { return handles; }
    bool OnDrawItem(UINT, DRAWITEMSTRUCT* item) override
    {
        drawnControls.push_back(item->hwndItem);
        return handles;
    }
    LRESULT OnNotify(UINT, NMHDR* header) override
    {
        notifiedFrom.push_back(header->hwndFrom);
        return notifyAnswer;
    }
    bool OnMouseWheel(UINT keyState, UINT delta, UINT) override
    {
        wheelKeys = keyState;
        wheelDelta = delta;
        return true;
    }
    bool OnContextMenu(HWND, int x, int y) override
    {
        menuX = x;
        menuY = y;
        return true;
    }
    bool OnMove(UINT x, UINT y) override
    {
        moveX = x;
        moveY = y;
        return true;
    }

    UINT markedMessage = 0;
    int defaultCalls = 0;
    UINT previewMessage = 0;
    bool previewTakes = false;
    LRESULT previewResult = 0;
    bool handles = false;
    LRESULT colorAnswer = 0;
    UINT hitTestAnswer = 0;
    LRESULT notifyAnswer = 0;
    UINT timerId = 0;
    std::vector<HWND> drawnControls;
    std::vector<HWND> notifiedFrom;
    UINT wheelKeys = 0, wheelDelta = 0, moveX = 0, moveY = 0;
    int menuX = 0, menuY = 0;
};

// A control created through the framework, so subclassed and in the registry.
class ReflectingControl : public Window {
public:
    bool OnDrawItemReflected(UINT, DRAWITEMSTRUCT*) override
    {
        ++drawn;
        return drawAnswer;
    }
    LRESULT OnNotifyReflected(UINT, NMHDR*) override
    {
        ++notified;
        return notifyAnswer;
    }

    int drawn = 0;
    bool drawAnswer = true;
    int notified = 0;
    LRESULT notifyAnswer = 0;
};

class HandlingDialog : public ScriptedDialog {
public:
    bool OnMove(UINT, UINT) override { return true; }
    bool OnMeasureItem(UINT, MEASUREITEMSTRUCT*) override { return true; }
    bool OnDrawItem(UINT, DRAWITEMSTRUCT*) override { return true; }
    bool OnEraseBkgnd(HDC) override { return true; }
    LRESULT OnNotify(UINT, NMHDR*) override { return 5; }
    UINT OnGetDlgCode(UINT, MSG*) override { return DLGC_WANTALLKEYS; }
    UINT OnNcHitTest(UINT) override { return HTCAPTION; }
};

class MessageRoutingTest : public testing::Test {
protected:
    void SetUp() override
    {
        instanceHandle = GetModuleHandleW(nullptr);
        ASSERT_TRUE(window.Create(nullptr));
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageW(window.handle, message, wParam, lParam);
    }

    RoutedWindow window;
};

TEST_F(MessageRoutingTest, ApplicationMessagesSkipTheTableUnlessPreviewTakesThem)
{
    window.markedMessage = 1023;
    EXPECT_EQ(Send(1023), defaultMarker) << "the last table entry is the default adapter";
    window.markedMessage = 1024;
    EXPECT_EQ(Send(1024), defaultMarker);
    EXPECT_EQ(window.defaultCalls, 2);

    window.previewMessage = 1024;
    window.previewTakes = true;
    window.previewResult = 77;
    EXPECT_EQ(Send(1024), 77);
    EXPECT_EQ(window.defaultCalls, 2) << "a message that PreviewMessage took goes no further";
}

TEST_F(MessageRoutingTest, PreviewResultBecomesTheAnswerOfAHandledMessage)
{
    window.previewMessage = WM_TIMER;
    window.previewResult = 55;
    window.handles = true;
    EXPECT_EQ(Send(WM_TIMER, 7), 55);
    EXPECT_EQ(window.timerId, 7u);

    window.handles = false;
    window.markedMessage = WM_TIMER;
    EXPECT_EQ(Send(WM_TIMER, 8), defaultMarker) << "an unhandled message discards the preview's result";
}

TEST_F(MessageRoutingTest, ValueAndFlagHandlersSetTheAnswer)
{
    window.markedMessage = WM_CTLCOLORSTATIC;
    EXPECT_EQ(Send(WM_CTLCOLORSTATIC), defaultMarker);
    window.colorAnswer = 0x1234;
    EXPECT_EQ(Send(WM_CTLCOLORSTATIC), 0x1234);

    window.hitTestAnswer = static_cast<UINT>(HTTRANSPARENT);
    EXPECT_EQ(Send(WM_NCHITTEST), HTTRANSPARENT) << "hit-test answers keep their sign";

    // A flag handler's true answers 1 whatever the default result.
    window.markedMessage = WM_ERASEBKGND;
    EXPECT_EQ(Send(WM_ERASEBKGND), defaultMarker);
    window.handles = true;
    EXPECT_EQ(Send(WM_ERASEBKGND), 1);
}

TEST_F(MessageRoutingTest, HandledMessagesAnswerTheWindowsOrTheDialogsDefault)
{
    window.handles = true;
    window.markedMessage = WM_TIMER;
    EXPECT_EQ(Send(WM_TIMER, 1), 0);
    MEASUREITEMSTRUCT measure{};
    EXPECT_EQ(Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), 0);
    DRAWITEMSTRUCT draw{};
    EXPECT_EQ(Send(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), 1);

    // A dialog's sender gets what the dialog manager passes on: the answer of a handled message.
    HandlingDialog dialog;
    ASSERT_TRUE(dialog.OpenModeless());
    const auto ask = [&dialog](UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(dialog.handle, message, wParam, lParam);
    };
    EXPECT_EQ(ask(WM_MOVE), 1);
    EXPECT_EQ(ask(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), 1);
    EXPECT_EQ(ask(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), 1);
    EXPECT_EQ(ask(WM_ERASEBKGND), 1);
    const NMHDR header{GetDlgItem(dialog.handle, IDC_TEST_EDIT), IDC_TEST_EDIT, NM_CLICK};
    EXPECT_EQ(ask(WM_NOTIFY, IDC_TEST_EDIT, reinterpret_cast<LPARAM>(&header)), 5);
    EXPECT_EQ(ask(WM_GETDLGCODE), DLGC_WANTALLKEYS);
    EXPECT_EQ(ask(WM_NCHITTEST), HTCAPTION);
    EXPECT_EQ(ask(WM_KEYDOWN, VK_SPACE), 0) << "unhandled: the dialog manager's turn";
}

TEST_F(MessageRoutingTest, WheelDeltaIsUnsignedAndMenuPointSigned)
{
    Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), MAKELPARAM(10, 20));
    EXPECT_EQ(window.wheelKeys, UINT{MK_CONTROL});
    EXPECT_EQ(window.wheelDelta, 120u);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(10, 20));
    EXPECT_EQ(window.wheelDelta, 65416u);

    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.handle), MAKELPARAM(-5, -300));
    EXPECT_EQ(window.menuX, -5);
    EXPECT_EQ(window.menuY, -300);
    Send(WM_MOVE, 0, MAKELPARAM(-5, 40));
    EXPECT_EQ(window.moveX, 65531u);
    EXPECT_EQ(window.moveY, 40u);
}

TEST_F(MessageRoutingTest, OwnerDrawAndNotificationsGoToTheControlsObjectFirst)
{
    ShowWindow(window.handle, SW_SHOWNA);
    const RECT left{10, 10, 90, 40};
    ReflectingControl control;
    ASSERT_TRUE(control.CreateOfClass(L"BUTTON", &left, L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, window.handle,
                                      reinterpret_cast<HMENU>(77)));
    // A wrapper: the framework neither created nor subclassed this button.
    Window wrapper;
    wrapper.handle = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 100, 10, 80, 30,
                                     window.handle, reinterpret_cast<HMENU>(78), instanceHandle, nullptr);
    ASSERT_NE(wrapper.handle, nullptr);

    // The buttons' own painting sends the WM_DRAWITEM messages to the parent.
    RedrawWindow(window.handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_GE(control.drawn, 1);
    EXPECT_EQ(window.drawnControls, std::vector<HWND>{wrapper.handle}) << "the parent draws only the wrapper's button";

    control.drawAnswer = false;
    window.drawnControls.clear();
    RedrawWindow(control.handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(window.drawnControls, std::vector<HWND>{control.handle}) << "what the control declines, the parent draws";

    NMHDR fromControl{control.handle, 77, NM_CLICK};
    NMHDR fromWrapper{wrapper.handle, 78, NM_CLICK};
    control.notifyAnswer = 9;
    window.notifyAnswer = 4;
    EXPECT_EQ(Send(WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&fromControl)), 9);
    EXPECT_TRUE(window.notifiedFrom.empty());
    control.notifyAnswer = 0;
    EXPECT_EQ(Send(WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&fromControl)), 4);
    EXPECT_EQ(Send(WM_NOTIFY, 78, reinterpret_cast<LPARAM>(&fromWrapper)), 4);
    EXPECT_EQ(control.notified, 2);
    EXPECT_EQ(window.notifiedFrom, (std::vector<HWND>{control.handle, wrapper.handle}));
}

// Records where the object stood at each step of its window's destruction.
class DestroyedWindow : public ProbeWindow {
public:
    bool OnNcDestroy() override
    {
        handleAtNcDestroy = handle;
        entryAtNcDestroy = WindowRegistry::shared.Find(handle);
        return false;
    }
    void OnWindowGone() override
    {
        ++gone;
        handleWhenGone = handle;
        handle = std::exchange(next, nullptr); // moves on to the next window, once
        movedOn = handle != nullptr && Subclass();
    }

    bool PreviewMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        return message == WM_NCDESTROY && takesFinalMessage;
    }

    HWND handleAtNcDestroy = nullptr;
    WindowBase* entryAtNcDestroy = this;
    HWND handleWhenGone = HWND(1);
    int gone = 0;
    bool takesFinalMessage = false;
    HWND next = nullptr;
    bool movedOn = false;
};

TEST(FinalMessageTest, UnbindsBeforeTheHandlersRun)
{
    instanceHandle = GetModuleHandleW(nullptr);
    DestroyedWindow object;
    ASSERT_TRUE(object.Create(nullptr));
    const HWND window = object.handle;
    ASSERT_EQ(WindowRegistry::shared.Find(window), &object);

    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(object.handleAtNcDestroy, window) << "OnNcDestroy still knows its window";
    EXPECT_EQ(object.entryAtNcDestroy, nullptr) << "the registry entry goes before OnNcDestroy";
    EXPECT_EQ(object.gone, 1);
    EXPECT_EQ(object.handleWhenGone, nullptr) << "OnWindowGone finds the object unbound";
    EXPECT_EQ(object.handle, nullptr);
    EXPECT_EQ(WindowRegistry::shared.Find(window), nullptr);

    // Unbound, the object can be bound again; a PreviewMessage that takes the final message
    // still leaves it unbound.
    ASSERT_TRUE(object.Create(nullptr));
    const HWND second = object.handle;
    EXPECT_EQ(WindowRegistry::shared.Find(second), &object);
    object.takesFinalMessage = true;
    ASSERT_TRUE(DestroyWindow(second));
    EXPECT_EQ(WindowRegistry::shared.Find(second), nullptr) << "a later window with this handle would reach the object";
    EXPECT_EQ(object.handle, nullptr);
    EXPECT_EQ(object.gone, 2);

    // Gone, an object that subclassed its window may subclass another one at once.
    object.handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, instanceHandle, nullptr);
    object.next = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, instanceHandle, nullptr);
    ASSERT_TRUE(object.Subclass());
    ASSERT_TRUE(DestroyWindow(object.handle));
    EXPECT_TRUE(object.movedOn);
    EXPECT_EQ(WindowRegistry::shared.Find(object.handle), &object);
}

} // namespace
