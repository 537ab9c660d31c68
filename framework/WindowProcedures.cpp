#include "framework/WindowProcedures.h"

#include "framework/Dialog.h"
#include "framework/LayerTurn.h"
#include "framework/MessageTable.h"
#include "framework/ModelessDialogList.h"
#include "framework/WindowRegistry.h"

// Messages that a new window receives before WM_NCCREATE (WM_GETMINMAXINFO comes first for
// overlapped windows) find no object and get DefWindowProcW.
LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = nullptr;
    WindowBase* beneath = nullptr;
    try {
        WindowBase* object = nullptr;
        LayerTurn* turn = LayerTurn::Innermost();
        if (message == WM_NCCREATE) {
            object = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            if (object != nullptr)
                object->Bind(window);
        } else if (turn != nullptr && turn->PassesOn(window, message) &&
                   ((turn->next != nullptr && turn->next->previousProc != nullptr) ||
                    reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)) == FrameworkWindowProc)) {
            // A layer of this window passes the message on, and procedures of other code installed
            // between the layers lead back here: the message goes on to the layer beneath, not to
            // the top of the chain again. A dialog's own object is reached through the dialog
            // procedure instead.
            object = turn->Claim();
        } else {
            object = WindowRegistry::shared.Find(window);
        }
        if (object == nullptr)
            return DefWindowProcW(window, message, wParam, lParam);
        previous = object->previousProc;
        beneath = object->previousOwner;
        return RouteMessage(object, window, message, wParam, lParam, 0);
    } catch (...) {
        // A handler threw. Unwinding into the platform's frames is undefined, so the message is
        // answered as if no handler had taken it; the last message has been passed on already.
        if (previous == nullptr)
            return DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY)
            return 0;
        LayerTurn passing(nullptr, window, message, previous, beneath);
        return passing.PassOn(wParam, lParam);
    }
}

// Messages that the dialog manager sends before WM_INITDIALOG (WM_SETFONT, for one) find no
// object and answer 0.
INT_PTR CALLBACK FrameworkDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        // Objects that subclassed the dialog pass on what they do not take through the procedures
        // they replaced, which lead here; the dialog's own object is the first owner that they took
        // the window over from.
        WindowBase* object = WindowRegistry::shared.Find(dialog);
        while (object != nullptr && object->previousProc != nullptr)
            object = object->previousOwner;
        if (message == WM_INITDIALOG) {
            // The run passes the dialog object itself as the initialisation parameter.
            auto* bound = reinterpret_cast<Dialog*>(lParam);
            bound->Bind(dialog);
            if (!bound->isModal)
                ModelessDialogList::shared.Add(dialog);
            return RouteMessage(bound, dialog, message, wParam, lParam, TRUE);
        }
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
