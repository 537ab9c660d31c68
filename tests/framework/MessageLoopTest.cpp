#include "tests/framework/ProbeWindow.h"
#include "tests/framework/ScriptedDialog.h"
#include "tests/framework/TestResources.h"

#include "framework/ApplicationBase.h"
#include "framework/ModelessDialogList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace {

class MessageLoopTest : public testing::Test {
protected:
    void SetUp() override { instanceHandle = GetModuleHandleW(nullptr); }
};

void Click(ScriptedDialog& dialog, int control)
{
    PostMessageW(GetDlgItem(dialog.handle, control), BM_CLICK, 0, 0);
}

TEST_F(MessageLoopTest, RunModalReturnsTheEndCode)
{
    ScriptedDialog dialog;
    bool listed = true;
    dialog.onInit = [&](ScriptedDialog& shown) {
        listed = ModelessDialogList::shared.IndexOf(shown.handle) != -1;
        Click(shown, IDOK);
    };
    EXPECT_EQ(dialog.RunModal(), 1);
    EXPECT_EQ(dialog.result, 1);
    EXPECT_FALSE(listed) << "a modal dialog never enters the modeless list";
    EXPECT_EQ(dialog.handle, nullptr);

    // The same object runs again.
    dialog.onInit = [](ScriptedDialog& shown) { Click(shown, IDCANCEL); };
    EXPECT_EQ(dialog.RunModal(), 0);

    // Another control does not end the dialog; the close box then does, with 0.
    ScriptedDialog closed;
    closed.onInit = [](ScriptedDialog& shown) {
        Click(shown, IDC_TEST_OTHER);
        // A BS_NOTIFY button tells the dialog when it gets the focus: no click either.
        const HWND ok = GetDlgItem(shown.handle, IDOK);
        SetWindowLongPtrW(ok, GWL_STYLE, GetWindowLongPtrW(ok, GWL_STYLE) | BS_NOTIFY);
        SetFocus(ok);
        PostMessageW(shown.handle, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(closed.RunModal(), 0);
    EXPECT_NE(std::find(closed.routed.begin(), closed.routed.end(), UINT{WM_CLOSE}), closed.routed.end())
        << "the close request, not the other button, ended the run";
}

// The copy worker's pattern: another thread writes a control through a wrapper, drops the wrapper
// and ends the modal run.
TEST_F(MessageLoopTest, AnotherThreadCanEndAModalRun)
{
    ScriptedDialog dialog;
    std::thread worker;
    std::wstring written;
    dialog.onInit = [&](ScriptedDialog& shown) {
        worker = std::thread([&] {
            {
                Window edit;
                edit.handle = GetDlgItem(shown.handle, IDC_TEST_EDIT);
                SendMessageW(edit.handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"from the worker"));
                wchar_t text[32] = {};
                SendMessageW(edit.handle, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text));
                written = text;
            }
            shown.End(7);
        });
    };
    EXPECT_EQ(dialog.RunModal(), 7);
    worker.join();
    EXPECT_EQ(written, L"from the worker");
    EXPECT_EQ(dialog.handle, nullptr);
}

TEST_F(MessageLoopTest, RunModalDisablesTheParentOnlyIfItWasEnabled)
{
    ProbeWindow parent;
    ASSERT_TRUE(parent.Create(nullptr));
    ScriptedDialog dialog(parent.handle);
    bool enabledDuringRun = true;
    dialog.onInit = [&](ScriptedDialog& shown) {
        enabledDuringRun = IsWindowEnabled(parent.handle) != FALSE;
        Click(shown, IDOK);
    };
    EXPECT_EQ(dialog.RunModal(), 1);
    EXPECT_FALSE(enabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(parent.handle));

    EnableWindow(parent.handle, FALSE);
    EXPECT_EQ(dialog.RunModal(), 1);
    EXPECT_FALSE(IsWindowEnabled(parent.handle)) << "a parent disabled before the run stays disabled";
}

TEST_F(MessageLoopTest, RunModalWithAMissingTemplateReturnsMinusOne)
{
    Dialog missing(MAKEINTRESOURCEW(999), GetDesktopWindow());
    EXPECT_EQ(missing.RunModal(), -1);
    EXPECT_EQ(missing.result, -1);
}

// An application that records what the entry function did with it.
class RecordingApplication : public ApplicationBase {
public:
    bool Start() override
    {
        if (quitCode >= 0)
            PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, static_cast<WPARAM>(quitCode), 0);
        return quitCode >= 0;
    }
    int Run() override
    {
        ++runs;
        return ApplicationBase::Run();
    }

    int quitCode = -1; // below 0: Start declines the message loop
    int runs = 0;
};

TEST_F(MessageLoopTest, TheEntryRunsTheLoopOnlyWhenStartAsksForIt)
{
    instanceHandle = nullptr;
    {
        RecordingApplication application;
        EXPECT_EQ(currentApplication, &application);
        EXPECT_EQ(ApplicationEntry(GetModuleHandleW(nullptr)), 0);
        EXPECT_EQ(application.runs, 0);
        EXPECT_EQ(instanceHandle, GetModuleHandleW(nullptr));
    }
    EXPECT_EQ(currentApplication, nullptr);

    RecordingApplication application;
    application.quitCode = 3;
    EXPECT_EQ(ApplicationEntry(instanceHandle), 3);
    EXPECT_EQ(application.runs, 1);
    EXPECT_EQ(application.ExitCode(), 3);
}

// A visible window that notes each WM_PAINT and each posted WM_APP in a shared log.
class LoggingWindow : public ProbeWindow {
public:
    explicit LoggingWindow(std::vector<std::string>& log) : log(log) {}
    ~LoggingWindow() override { CloseHandle(painted); }
    void PrepareCreate(CREATESTRUCTW& create) override
    {
        create.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        create.x = create.y = 0;
        create.cx = create.cy = 200;
    }
    bool OnPaint(HDC) override
    {
        PAINTSTRUCT paint;
        BeginPaint(handle, &paint);
        EndPaint(handle, &paint);
        log.push_back("paint");
        SetEvent(painted);
        return true;
    }
    bool PreviewMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        if (message == WM_APP)
            log.push_back("app");
        return false;
    }

    std::vector<std::string>& log;
    HANDLE painted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

// Idle work that wants two more calls, then asks for a repaint; the first call after a message
// that restarts idle work ends the loop. Every message that restarts it is logged: besides the
// test's own, the platform may post one of its own at any time.
class IdleApplication : public ApplicationBase {
public:
    ~IdleApplication() override { CloseHandle(idleCalled); }
    bool Start() override { return window.Create(nullptr); }
    bool RestartsIdle(const MSG& message) override
    {
        const bool restarts = ApplicationBase::RestartsIdle(message);
        if (restarts && !log.empty())
            log.push_back("restart");
        return restarts;
    }
    bool IdleWork(int count) override
    {
        log.push_back("idle " + std::to_string(count));
        SetEvent(idleCalled);
        if (log.size() > 3) {
            PostQuitMessage(3);
            return false;
        }
        if (count < 2)
            return true;
        InvalidateRect(window.handle, nullptr, FALSE);
        return false;
    }

    std::vector<std::string> log;
    LoggingWindow window{log};
    HANDLE idleCalled = CreateEventW(nullptr, FALSE, FALSE, nullptr);
};

TEST_F(MessageLoopTest, IdleWorkRunsOnlyUntilItDeclinesAndRestartsAfterRealWork)
{
    IdleApplication application;
    ASSERT_TRUE(application.Start());
    UpdateWindow(application.window.handle);
    application.log.clear();
    ResetEvent(application.window.painted);

    // Once the repaint is done, idle work must stay quiet; allow it half a second to show a
    // wrong call, then post a message that does restart it. Without a repaint the message still
    // comes, later, so that the loop ends and the log shows what went wrong.
    std::thread poster([&] {
        WaitForSingleObject(application.window.painted, 30000);
        ResetEvent(application.idleCalled);
        WaitForSingleObject(application.idleCalled, 500);
        PostMessageW(application.window.handle, WM_APP, 0, 0);
    });
    const int code = application.Run();
    poster.join();
    EXPECT_EQ(code, 3);
    // After the repaint, idle work waits for a message that restarts it, the test's WM_APP or
    // one of the platform's.
    std::vector<std::string> log = application.log;
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 4),
              (std::vector<std::string>{"idle 0", "idle 1", "idle 2", "paint"}));
    EXPECT_EQ(log[log.size() - 2], "restart");
    EXPECT_EQ(log.back(), "idle 0");

    MSG message{};
    message.message = 0x0118;
    EXPECT_FALSE(application.RestartsIdle(message)) << "the system's timer message is not work";
    message.message = WM_TIMER;
    EXPECT_TRUE(application.RestartsIdle(message));
}

// Takes one posted message before it is dispatched.
class QueueWindow : public ProbeWindow {
public:
    bool PreviewQueuedMessage(MSG& message) override { return message.message == WM_APP + 1; }
};

TEST_F(MessageLoopTest, QueuedMessagesMeetTheWindowsObjectThenTheModelessDialogs)
{
    ApplicationBase application;
    QueueWindow window;
    ASSERT_TRUE(window.Create(nullptr));
    MSG message{};
    PostMessageW(window.handle, WM_APP + 1, 0, 0);
    PostMessageW(window.handle, WM_APP + 2, 0, 0);
    ASSERT_TRUE(application.ProcessNextMessage(message));
    ASSERT_TRUE(application.ProcessNextMessage(message));
    EXPECT_EQ(window.previewed.back(), UINT{WM_APP + 2});
    EXPECT_EQ(std::count(window.previewed.begin(), window.previewed.end(), UINT{WM_APP + 1}), 0)
        << "the consumed message was still dispatched";

    // Tab in a dialog that is not modal moves the focus, which only IsDialogMessageW does.
    ScriptedDialog dialog;
    ASSERT_TRUE(dialog.OpenModeless());
    const HWND edit = GetDlgItem(dialog.handle, IDC_TEST_EDIT);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    PostMessageW(edit, WM_KEYDOWN, VK_TAB, 1);
    ASSERT_TRUE(application.ProcessNextMessage(message));
    EXPECT_EQ(message.message, UINT{WM_KEYDOWN});
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.handle, IDOK));
}

} // namespace
