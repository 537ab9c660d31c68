#include "framework/ApplicationBase.h"

#include "framework/ModelessDialogList.h"
#include "framework/WindowBase.h"
#include "framework/WindowRegistry.h"

ApplicationBase* currentApplication = nullptr;
HINSTANCE instanceHandle = nullptr;

namespace {

// Sent by the system to drive caret blinking and the like; not a sign that work has arrived.
constexpr UINT systemTimerMessage = 0x0118;

} // namespace

ApplicationBase::ApplicationBase()
{
    currentApplication = this;
}

ApplicationBase::~ApplicationBase()
{
    currentApplication = nullptr;
    exitCode = 0;
}

bool ApplicationBase::Start()
{
    return false;
}

int ApplicationBase::ExitCode()
{
    return exitCode;
}

int ApplicationBase::Run()
{
    MSG message{};
    bool idle = true;
    int count = 0;
    for (;;) {
        while (idle && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
            idle = IdleWork(count++);
        if (!ProcessNextMessage(message))
            return static_cast<int>(static_cast<UINT>(message.wParam));
        if (RestartsIdle(message)) {
            idle = true;
            count = 0;
        }
    }
}

bool ApplicationBase::ProcessNextMessage(MSG& message)
{
    // GetMessageW answers -1 only for an invalid window filter, and none is given.
    if (GetMessageW(&message, nullptr, 0, 0) == 0)
        return false;
    WindowBase* object = WindowRegistry::shared.Find(message.hwnd);
    if (object != nullptr && object->PreviewQueuedMessage(message))
        return true;
    if (ModelessDialogList::shared.OfferToDialogs(message))
        return true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

bool ApplicationBase::RestartsIdle(const MSG& message)
{
    return message.message != WM_PAINT && message.message != systemTimerMessage;
}

bool ApplicationBase::IdleWork(int)
{
    return false;
}

int ApplicationEntry(HINSTANCE instance)
{
    instanceHandle = instance;
    if (currentApplication->Start())
        currentApplication->exitCode = currentApplication->Run();
    return currentApplication->ExitCode();
}
