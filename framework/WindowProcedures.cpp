// The framework's routing: how a message gets from the platform to an object's handler and on to
// default processing, through the chain of procedures that subclassing builds.
//
// Binding. A window of the framework's class is bound to its object at WM_NCCREATE, from the
// creation parameter; a dialog at WM_INITDIALOG, from the initialisation parameter; a window of any
// other class when an object subclasses it. Binding enters the object in the registry under the
// window's handle. What arrives before binding finds no object: a window's messages get
// DefWindowProcW, a dialog's the dialog manager's own processing.
//
// A message. The platform calls FrameworkWindowProc (the framework's class and subclassed windows)
// or, through the dialog manager, FrameworkDialogProc. Both find the object in the registry and
// call RouteMessage, which opens the object's LayerTurn and gives the message to PreviewMessage,
// then to its adapter in the message table (MessageTable.cpp), which unpacks the parameters for
// the handler. What no handler takes goes to DefaultProcessing: a window's to the procedure that
// its object replaced, or to DefWindowProcW; a dialog's is answered FALSE, so that the dialog
// manager applies its default.
//
// A subclass chain. An object that subclasses a window puts FrameworkWindowProc in place of the
// window's procedure and keeps the one it replaced and the object that the registry named before,
// the layer beneath; the registry names the new layer from then on. Other code may subclass the
// window too, above or between the framework's layers. A message starts at the top of the chain,
// and each layer hands on what it does not take with LayerTurn::PassOn, to the procedure it
// replaced. When that procedure leads to FrameworkWindowProc again, the open turn names the layer
// that comes next, so that every layer sees the message once. A dialog's own object is the bottom
// layer, reached through the dialog manager.
//
// Leaving the chain. An object leaves with Unsubclass, and does so when it is destroyed. HandOver
// is the one way in which its place changes hands: the registry, the layer above and the open
// turns then name its successor, the layer beneath or, when a procedure installed since still
// leads to the object's, a PassThroughLayer that keeps passing everything on.
//
// The window's last message. WM_NCDESTROY reaches every layer. The window's own object leaves the
// registry before its handler runs, so that nothing finds it any more. A subclassing layer stays
// named while it handles the message, so that messages sent meanwhile still pass every layer; it
// then passes the message on, whatever it answered, and only then leaves the registry. Each object
// ends unbound, and then OnWindowGone runs: the object may be bound again there, or destroyed.
//
// No exception from a handler leaves either procedure: the message is answered as one that no
// handler took.
#include "framework/WindowProcedures.h"

#include "framework/Dialog.h"
#include "framework/MessageTable.h"
#include "framework/ModelessDialogList.h"
#include "framework/WindowBase.h"
#include "framework/WindowRegistry.h"

#include <exception>
#include <memory>

namespace {

class LayerTurn;

// Only the thread that owns a window routes its messages, so each thread keeps its own turns.
thread_local LayerTurn* innermost = nullptr;

// One layer's turn at one message of a window, on the stack for as long as the layer routes the
// message, with the procedure that the layer replaced and the layer beneath as they were when the
// message arrived. The open turns of a thread form a stack, innermost first.
class LayerTurn {
public:
    LayerTurn(WindowBase* layer, HWND window, UINT message, WNDPROC previousProc, WindowBase* next)
        : layer(layer), window(window), message(message), previousProc(previousProc), next(next), outer(innermost)
    {
        innermost = this;
    }
    ~LayerTurn() { innermost = outer; }
    LayerTurn(const LayerTurn&) = delete;
    LayerTurn& operator=(const LayerTurn&) = delete;

    // The layer's turn at the message when it is the innermost one, else null.
    static LayerTurn* Of(const WindowBase* layer, UINT message)
    {
        LayerTurn* turn = innermost;
        if (turn == nullptr || turn->layer != layer || turn->message != message)
            return nullptr;
        return turn;
    }

    // The innermost turn when it is passing this message of this window on and no framework
    // procedure has taken the message up since, else null.
    static LayerTurn* Passing(HWND window, UINT message)
    {
        LayerTurn* turn = innermost;
        if (turn == nullptr || !turn->passing || turn->takenUp || turn->window != window || turn->message != message)
            return nullptr;
        return turn;
    }

    // The open turns' part of WindowBase::HandOver, its only caller: turns that would pass their
    // message on to `layer` pass it to `successor` instead. True when there was one.
    static bool ReplaceNext(const WindowBase* layer, WindowBase* successor)
    {
        bool found = false;
        for (LayerTurn* turn = innermost; turn != nullptr; turn = turn->outer)
            if (turn->next == layer) {
                turn->next = successor;
                found = true;
            }
        return found;
    }

    // The layer is being destroyed: its open turns leave it alone from now on.
    static void Forget(const WindowBase* layer)
    {
        for (LayerTurn* turn = innermost; turn != nullptr; turn = turn->outer)
            if (turn->layer == layer)
                turn->layer = nullptr;
    }

    // Hands the message on to the procedure that the layer replaced, or to DefWindowProcW when it
    // replaced none: the one way in which a message leaves a layer for the rest of the chain.
    LRESULT PassOn(WPARAM wParam, LPARAM lParam)
    {
        passedOn = true;
        if (previousProc == nullptr)
            return DefWindowProcW(window, message, wParam, lParam);
        passing = true;
        takenUp = false;
        const LRESULT result = CallWindowProcW(previousProc, window, message, wParam, lParam);
        passing = false;
        return result;
    }

    // The layer beneath, to which the passed-on message goes next.
    WindowBase* Next() const { return next; }
    // Taken up by the FrameworkWindowProc that the passed-on message has reached: the message goes
    // on at the next layer, once.
    WindowBase* TakeUp()
    {
        takenUp = true;
        return next;
    }
    bool PassedOn() const { return passedOn; }
    // False once the layer has been destroyed.
    bool LayerLives() const { return layer != nullptr; }

private:
    WindowBase* layer;
    const HWND window;
    const UINT message;
    const WNDPROC previousProc;
    WindowBase* next;
    bool passedOn = false;
    bool passing = false;
    bool takenUp = false;
    LayerTurn* const outer;
};

// Stands in a window's chain for an object that left it while a procedure installed after the
// object's still leads to FrameworkWindowProc: it handles nothing, so every message goes on to the
// procedure that the object had replaced. Made by Unsubclass, which says why it ends itself.
class PassThroughLayer : public WindowBase {
public:
    void OnWindowGone() override { delete this; }
};

// PreviewMessage, then the message's adapter, then DefaultProcessing for what no handler took.
LRESULT Route(WindowBase* target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT result)
{
    if (target->PreviewMessage(message, wParam, lParam, result))
        return result;
    // Application-defined numbers never reach a handler; PreviewMessage is where a class takes them.
    if (message >= MessageTable::size)
        return target->DefaultProcessing(message, wParam, lParam);
    MessageRecord record{target, message, wParam, lParam, result};
    if (MessageTable::shared[message](record))
        return record.result;
    return target->DefaultProcessing(message, wParam, lParam);
}

} // namespace

// Routes one message of `window` to one layer, `target`, in the layer's turn. `defaultResult` is
// what a handled message answers unless a handler says otherwise: 0 from the window procedure,
// TRUE from the dialog procedure.
LRESULT RouteMessage(WindowBase* target, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     LRESULT defaultResult)
{
    LayerTurn turn(target, window, message, target->previousProc, target->beneath);
    if (message != WM_NCDESTROY)
        return Route(target, message, wParam, lParam, defaultResult);

    // The window's last message, in the order that the account above gives. However it is handled
    // (by PreviewMessage, a handler, default processing while `handle` is still set, or a throw),
    // the object ends unbound, unless it was destroyed meanwhile.
    const bool subclassing = target->previousProc != nullptr;
    if (!subclassing)
        WindowRegistry::shared.Remove(window);
    LRESULT result = 0;
    std::exception_ptr thrown;
    try {
        result = Route(target, message, wParam, lParam, defaultResult);
    } catch (...) {
        thrown = std::current_exception();
    }
    if (subclassing) {
        if (!turn.PassedOn())
            turn.PassOn(wParam, lParam);
        WindowRegistry::shared.Remove(window);
    }
    if (turn.LayerLives())
        target->Unbind();
    if (thrown)
        std::rethrow_exception(thrown);
    return result;
}

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = nullptr;
    WindowBase* beneath = nullptr;
    try {
        WindowBase* object = nullptr;
        LayerTurn* turn = LayerTurn::Passing(window, message);
        if (message == WM_NCCREATE) {
            // The creating object is the creation parameter. What comes before this message
            // (WM_GETMINMAXINFO, for overlapped windows) finds no object.
            object = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            if (object != nullptr)
                object->Bind(window);
        } else if (turn != nullptr &&
                   ((turn->Next() != nullptr && turn->Next()->previousProc != nullptr) ||
                    reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)) == FrameworkWindowProc)) {
            // A layer passed the message on, and the procedures of other code that it replaced
            // led back here, to the procedure that the next layer installed or to the class's:
            // the message goes on at the next layer, not at the top of the chain again. A dialog's
            // own object is reached through the dialog procedure instead.
            object = turn->TakeUp();
        } else {
            object = WindowRegistry::shared.Find(window);
        }
        if (object == nullptr)
            return DefWindowProcW(window, message, wParam, lParam);
        previous = object->previousProc;
        beneath = object->beneath;
        return RouteMessage(object, window, message, wParam, lParam, 0);
    } catch (...) {
        // A handler threw. Unwinding into the platform's frames is undefined, so the message goes
        // on as if no handler had taken it; a subclassing layer has passed its last message on
        // already.
        if (previous != nullptr && message == WM_NCDESTROY)
            return 0;
        LayerTurn passing(nullptr, window, message, previous, beneath);
        return passing.PassOn(wParam, lParam);
    }
}

INT_PTR CALLBACK FrameworkDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == WM_INITDIALOG) {
            // The run passes the dialog object itself as the initialisation parameter. Messages
            // that the dialog manager sends before (WM_SETFONT, for one) find no object.
            auto* bound = reinterpret_cast<Dialog*>(lParam);
            bound->Bind(dialog);
            if (!bound->isModal)
                ModelessDialogList::shared.Add(dialog);
            return RouteMessage(bound, dialog, message, wParam, lParam, TRUE);
        }
        // Layers that subclassed the dialog reach this procedure through the procedures they
        // replaced; the dialog's own object is the bottom layer, the first that replaced none.
        WindowBase* object = WindowRegistry::shared.Find(dialog);
        while (object != nullptr && object->previousProc != nullptr)
            object = object->beneath;
        if (message == WM_NCDESTROY) {
            // RouteMessage takes the dialog out of the registry; a dialog without an object (its
            // window outlived it) has no entry there, and leaves the modeless list as well.
            const auto* owner = dynamic_cast<const Dialog*>(object);
            if (owner == nullptr || !owner->isModal)
                ModelessDialogList::shared.Remove(dialog);
        }
        if (object == nullptr)
            return FALSE;
        const LRESULT answer = RouteMessage(object, dialog, message, wParam, lParam, TRUE);
        // The last message stays the dialog manager's too, which frees what it made for the dialog
        // (the template's font among them) only when the dialog procedure answers FALSE.
        if (message == WM_NCDESTROY)
            return FALSE;
        // The dialog manager passes this procedure's answer on only for WM_INITDIALOG, the
        // WM_CTLCOLOR messages and a few others; for every other message the sender gets the
        // dialog's message result, which a handled message therefore sets as well.
        if (answer != 0)
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
        return answer;
    } catch (...) {
        // A handler threw: answered as not handled, so the dialog manager applies its default.
        return FALSE;
    }
}

// The members of WindowBase that make and change its place in a window's chain.

void WindowBase::Bind(HWND window)
{
    handle = window;
    bound = true;
    ++bindings;
    WindowRegistry::shared.Set(window, this);
}

void WindowBase::Unbind()
{
    handle = nullptr;
    bound = false;
    previousProc = nullptr;
    beneath = nullptr;
    // Last, so that the object may subclass another window here, or end itself.
    OnWindowGone();
}

LRESULT WindowBase::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The message that this object is routing goes on where the chain stood when it arrived, also
    // after an Unsubclass in one of its handlers; any other goes on from where the object stands.
    if (LayerTurn* turn = LayerTurn::Of(this, message))
        return turn->PassOn(wParam, lParam);
    LayerTurn turn(this, handle, message, previousProc, beneath);
    return turn.PassOn(wParam, lParam);
}

bool WindowBase::Subclass()
{
    if (previousProc != nullptr)
        return false;
    if (handle == nullptr || !IsWindow(handle))
        return false;
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC));
    if (current == FrameworkWindowProc)
        return false;
    previousProc = current;
    beneath = WindowRegistry::shared.Find(handle);
    // The entry comes first, so that the first message through the new procedure finds the object.
    Bind(handle);
    SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkWindowProc));
    return true;
}

void WindowBase::Unsubclass()
{
    if (previousProc == nullptr)
        return;
    if (handle != nullptr && IsWindow(handle)) {
        const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC));
        if (current == FrameworkWindowProc && WindowRegistry::shared.Find(handle) == this) {
            // The object's procedure is the window's: the replaced one goes back, and the layer
            // beneath takes the object's place.
            SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
            HandOver(beneath);
        } else {
            // A procedure installed since leads to the one this object installed, and restoring
            // would cut it out of the chain: a stand-in takes the object's place in the chain.
            // Nothing is needed when nothing names the object any more (during the last message).
            // No object can own the stand-in: it is needed for as long as that procedure stays in
            // the chain, which may be until the window's last message, and whatever names it may
            // leave or be destroyed before then (once the layer above has left, only the registry
            // names it, and the registry owns nothing). So it ends itself when its window is gone.
            auto standIn = std::make_unique<PassThroughLayer>();
            if (HandOver(standIn.get())) {
                WindowBase* layer = standIn.release();
                layer->handle = handle;
                layer->bound = true;
                layer->previousProc = previousProc;
                layer->beneath = beneath;
            }
        }
    }
    previousProc = nullptr;
    beneath = nullptr;
}

bool WindowBase::HandOver(WindowBase* successor)
{
    bool handed = LayerTurn::ReplaceNext(this, successor);
    // Nothing else can name an object that is not bound; a wrapper reads nothing shared here.
    if (!bound || handle == nullptr)
        return handed;
    WindowBase* top = WindowRegistry::shared.Find(handle);
    if (top == this) {
        if (successor != nullptr)
            WindowRegistry::shared.Set(handle, successor);
        else
            WindowRegistry::shared.Remove(handle);
        handed = true;
    }
    for (WindowBase* layer = top; layer != nullptr; layer = layer->beneath)
        if (layer->beneath == this) {
            layer->beneath = successor;
            handed = true;
        }
    return handed;
}

WindowBase::~WindowBase()
{
    // Out of the chain first; then its own open turns leave it alone, and nothing names it.
    Unsubclass();
    LayerTurn::Forget(this);
    HandOver(nullptr);
}
