// Binds one object to one window handle and receives the window's messages through virtual
// handlers, one per message. Owned by whoever creates it (a local object or a member); the
// framework never deletes one. A WindowBase whose `handle` is merely assigned is a wrapper: it is
// not in the registry, receives no messages and leaves the window alone when destroyed. Binding,
// subclassing, default processing and the destructor are part of the routing and are defined with
// it, in WindowProcedures.cpp; WindowBase.cpp holds the handlers' defaults.
#pragma once

#include <windows.h>

class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // Overridables

    // Called for every message that no handler took; the answer goes back to the platform. The
    // base gives the message to the procedure that `Subclass` replaced, or to DefWindowProcW, and
    // from there to the layers beneath this object, not to this object again; the message being
    // routed goes on along the chain as it stood when the message arrived.
    virtual LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
    // Hands a subclassed window back to its previous procedure and layer. A window that outlives
    // its object stops naming the object in the registry, also as the layer beneath an object that
    // subclassed the window since; a wrapper's window is left untouched, and then nothing but the
    // object's members is read, so a wrapper may be destroyed on any thread.
    virtual ~WindowBase();
    // Called by the message loop for each queued message of this window before it is translated
    // and dispatched; return true to consume it.
    virtual bool PreviewQueuedMessage(MSG& message);
    // First look at every routed message, before the message table; return true to answer the
    // platform with `result` at once. A change to `result` alone also changes the answer that a
    // handler's true gives.
    virtual bool PreviewMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called after WM_NCDESTROY has been handled and the object unbound (`handle` and the previous
    // procedure already null): the object may subclass another window here, or end itself.
    virtual void OnWindowGone();

    // Message handlers. A handler returns true (or, for value handlers, a value other than 0)
    // when it has handled the message; the base versions handle nothing.
    virtual bool OnActivate(UINT state, HWND otherWindow, UINT minimised);
    virtual bool OnActivateApp(UINT active, UINT threadId);
    virtual bool OnCaptureChanged(HWND gainingWindow);
    virtual bool OnChar(UINT character, UINT repeatCount, UINT keyFlags);
    // WM_CLOSE: return true to keep the window.
    virtual bool OnClose();
    virtual bool OnCommand(HWND control, UINT id, UINT code);
    virtual bool OnContextMenu(HWND window, int x, int y);
    virtual bool OnCreate(CREATESTRUCTW* create);
    virtual LRESULT OnCtlColorBtn(HDC deviceContext, HWND control);
    virtual LRESULT OnCtlColorDlg(HDC deviceContext, HWND control);
    virtual LRESULT OnCtlColorEdit(HDC deviceContext, HWND control);
    virtual LRESULT OnCtlColorListBox(HDC deviceContext, HWND control);
    virtual LRESULT OnCtlColorScrollBar(HDC deviceContext, HWND control);
    virtual LRESULT OnCtlColorStatic(HDC deviceContext, HWND control);
    virtual bool OnDestroy();
    virtual bool OnDisplayChange(UINT bitsPerPixel, UINT width, UINT height);
    // WM_DRAWITEM that the control's own object did not take.
    virtual bool OnDrawItem(UINT id, DRAWITEMSTRUCT* item);
    // WM_DRAWITEM sent to the parent, offered first to the object of the control that it draws.
    virtual bool OnDrawItemReflected(UINT id, DRAWITEMSTRUCT* item);
    virtual bool OnEnterSizeMove();
    // Return true when the background has been erased.
    virtual bool OnEraseBkgnd(HDC deviceContext);
    virtual bool OnExitSizeMove();
    virtual UINT OnGetDlgCode(UINT virtualKey, MSG* message);
    virtual bool OnGetMinMaxInfo(MINMAXINFO* info);
    virtual LRESULT OnHelp(HELPINFO* help);
    virtual bool OnHScroll(UINT request, UINT position, HWND scrollBar);
    virtual bool OnInitDialog();
    virtual bool OnInitMenu(HMENU menu);
    virtual bool OnInitMenuPopup(HMENU menu, UINT position, UINT windowMenu);
    virtual bool OnKeyDown(UINT virtualKey, UINT repeatCount, UINT keyFlags);
    virtual bool OnKeyUp(UINT virtualKey, UINT repeatCount, UINT keyFlags);
    virtual bool OnKillFocus(HWND gainingWindow);
    virtual bool OnLButtonDblClk(UINT keyState, UINT point);
    virtual bool OnLButtonDown(UINT keyState, UINT point);
    virtual bool OnLButtonUp(UINT keyState, UINT point);
    virtual bool OnMButtonDblClk(UINT keyState, UINT point);
    virtual bool OnMButtonDown(UINT keyState, UINT point);
    virtual bool OnMButtonUp(UINT keyState, UINT point);
    // WM_MEASUREITEM that the control's own object did not take.
    virtual bool OnMeasureItem(UINT id, MEASUREITEMSTRUCT* item);
    // WM_MEASUREITEM sent to the parent, offered first to the object of the control it measures.
    virtual bool OnMeasureItemReflected(UINT id, MEASUREITEMSTRUCT* item);
    virtual LRESULT OnMenuChar(UINT character, UINT menuType, HMENU menu);
    virtual bool OnMenuSelect(UINT item, UINT flags, HMENU menu);
    virtual bool OnMouseMove(UINT keyState, UINT point);
    // The wheel delta comes unsigned (120 for a notch up, 65416 for a notch down).
    virtual bool OnMouseWheel(UINT keyState, UINT delta, UINT point);
    virtual bool OnMove(UINT x, UINT y);
    virtual bool OnMoving(UINT edge, RECT* rectangle);
    // WM_NCDESTROY, `handle` still set. The registry no longer names the window's own object; an
    // object that subclassed the window stays named while it handles the message, and the message
    // then goes on to the procedure that it replaced, whatever the handler answered.
    virtual bool OnNcDestroy();
    // The answer reaches the sender widened with its sign: HTTRANSPARENT arrives as -1.
    virtual UINT OnNcHitTest(UINT point);
    virtual bool OnNcPaint(HRGN updateRegion);
    virtual bool OnNextDlgCtl(UINT control, UINT isHandle);
    // WM_NOTIFY that the sending control's own object did not take.
    virtual LRESULT OnNotify(UINT id, NMHDR* header);
    // WM_NOTIFY sent to the parent, offered first to the object of the control that sent it.
    virtual LRESULT OnNotifyReflected(UINT id, NMHDR* header);
    virtual bool OnPaint(HDC deviceContext);
    virtual bool OnParentNotify(WPARAM wParam, LPARAM lParam);
    virtual bool OnRButtonDblClk(UINT keyState, UINT point);
    virtual bool OnRButtonDown(UINT keyState, UINT point);
    virtual bool OnRButtonUp(UINT keyState, UINT point);
    virtual bool OnSetFocus(HWND losingWindow);
    virtual bool OnSettingChange(UINT flag, const wchar_t* section);
    virtual bool OnSize(UINT width, UINT height, UINT type);
    virtual bool OnSizing(UINT edge, RECT* rectangle);
    virtual bool OnSysCommand(UINT command, LPARAM lParam);
    virtual bool OnSysKeyDown(UINT virtualKey, UINT repeatCount, UINT keyFlags);
    virtual bool OnSysKeyUp(UINT virtualKey, UINT repeatCount, UINT keyFlags);
    virtual bool OnTimer(UINT id);
    virtual bool OnUpdateUIState(UINT action, UINT state);
    virtual bool OnVScroll(UINT request, UINT position, HWND scrollBar);
    virtual bool OnWindowPosChanged(WINDOWPOS* position);
    virtual bool OnWindowPosChanging(WINDOWPOS* position);

    // Routes the existing window in `handle` through the framework's window procedure. Refuses
    // (false, nothing changed) when this object already subclassed a window, when there is no live
    // window, or when the window already uses the framework's procedure.
    bool Subclass();
    // Hands a subclassed window back to the procedure and the layer beneath that it had before.
    // When a procedure installed since leads to this object's, the object leaves the chain but its
    // procedure stays in it, passing everything on.
    void Unsubclass();

    // The window bound to or wrapped by the object; null when there is none.
    HWND handle = nullptr;

protected:
    // How often the object has been bound to a window, so that a creation the platform refused
    // can tell whether its window reached the object first.
    unsigned Bindings() const { return bindings; }

private:
    friend LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    friend INT_PTR CALLBACK FrameworkDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    friend LRESULT RouteMessage(WindowBase* target, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT defaultResult);

    // Binds the object to the window: `handle` and the registry entry.
    void Bind(HWND window);
    // The end of WM_NCDESTROY: `handle` null, no previous procedure or layer, then OnWindowGone.
    void Unbind();
    // The one way in which a place in a window's chain changes hands: whatever names this object
    // there (the registry entry, the layer above, a turn about to pass a message on to it) names
    // `successor` instead; a null successor takes the registry entry out. True when something did.
    bool HandOver(WindowBase* successor);

    // While the object subclasses a window: the procedure that it replaced, and the object that the
    // registry named before it, the layer beneath it in the chain.
    WNDPROC previousProc = nullptr;
    WindowBase* beneath = nullptr;
    // True from binding until the final message: only such an object can be named by the
    // registry, so only its destructor needs to look there.
    bool bound = false;
    unsigned bindings = 0;
};
