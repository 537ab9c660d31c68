#include "framework/WindowBase.h"

#include "framework/LayerTurn.h"
#include "framework/PassThroughLayer.h"
#include "framework/WindowProcedures.h"
#include "framework/WindowRegistry.h"

#include <memory>

LRESULT WindowBase::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The message that this object is routing goes where the chain stood when it arrived, also
    // after an Unsubclass in one of its handlers.
    LayerTurn* turn = LayerTurn::Innermost();
    if (turn != nullptr && turn->layer == this && turn->message == message)
        return turn->PassOn(wParam, lParam);
    if (previousProc != nullptr)
        return CallWindowProcW(previousProc, handle, message, wParam, lParam);
    return DefWindowProcW(handle, message, wParam, lParam);
}

WindowBase::~WindowBase()
{
    Unsubclass();
    LayerTurn::Forget(this);
    if (!bound || handle == nullptr)
        return;
    // No entry may name the object once it is gone, nor keep it as the owner that an object which
    // subclassed the window would give the window back to.
    if (WindowRegistry::shared.Find(handle) == this)
        WindowRegistry::shared.Remove(handle);
    HandOver(nullptr);
}

bool WindowBase::PreviewQueuedMessage(MSG&) { return false; }
bool WindowBase::PreviewMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
void WindowBase::OnWindowGone() {}

bool WindowBase::OnActivate(UINT, HWND, UINT) { return false; }
bool WindowBase::OnActivateApp(UINT, UINT) { return false; }
bool WindowBase::OnCaptureChanged(HWND) { return false; }
bool WindowBase::OnChar(UINT, UINT, UINT) { return false; }
bool WindowBase::OnClose() { return false; }
bool WindowBase::OnCommand(HWND, UINT, UINT) { return false; }
bool WindowBase::OnContextMenu(HWND, int, int) { return false; }
bool WindowBase::OnCreate(CREATESTRUCTW*) { return false; }
LRESULT WindowBase::OnCtlColorBtn(HDC, HWND) { return 0; }
LRESULT WindowBase::OnCtlColorDlg(HDC, HWND) { return 0; }
LRESULT WindowBase::OnCtlColorEdit(HDC, HWND) { return 0; }
LRESULT WindowBase::OnCtlColorListBox(HDC, HWND) { return 0; }
LRESULT WindowBase::OnCtlColorScrollBar(HDC, HWND) { return 0; }
LRESULT WindowBase::OnCtlColorStatic(HDC, HWND) { return 0; }
bool WindowBase::OnDestroy() { return false; }
bool WindowBase::OnDisplayChange(UINT, UINT, UINT) { return false; }
bool WindowBase::OnDrawItem(UINT, DRAWITEMSTRUCT*) { return false; }
bool WindowBase::OnDrawItemReflected(UINT, DRAWITEMSTRUCT*) { return false; }
bool WindowBase::OnEnterSizeMove() { return false; }
bool WindowBase::OnEraseBkgnd(HDC) { return false; }
bool WindowBase::OnExitSizeMove() { return false; }
UINT WindowBase::OnGetDlgCode(UINT, MSG*) { return 0; }
bool WindowBase::OnGetMinMaxInfo(MINMAXINFO*) { return false; }
LRESULT WindowBase::OnHelp(HELPINFO*) { return 0; }
bool WindowBase::OnHScroll(UINT, UINT, HWND) { return false; }
bool WindowBase::OnInitDialog() { return false; }
bool WindowBase::OnInitMenu(HMENU) { return false; }
bool WindowBase::OnInitMenuPopup(HMENU, UINT, UINT) { return false; }
bool WindowBase::OnKeyDown(UINT, UINT, UINT) { return false; }
bool WindowBase::OnKeyUp(UINT, UINT, UINT) { return false; }
bool WindowBase::OnKillFocus(HWND) { return false; }
bool WindowBase::OnLButtonDblClk(UINT, UINT) { return false; }
bool WindowBase::OnLButtonDown(UINT, UINT) { return false; }
bool WindowBase::OnLButtonUp(UINT, UINT) { return false; }
bool WindowBase::OnMButtonDblClk(UINT, UINT) { return false; }
bool WindowBase::OnMButtonDown(UINT, UINT) { return false; }
bool WindowBase::OnMButtonUp(UINT, UINT) { return false; }
bool WindowBase::OnMeasureItem(UINT, MEASUREITEMSTRUCT*) { return false; }
bool WindowBase::OnMeasureItemReflected(UINT, MEASUREITEMSTRUCT*) { return false; }
LRESULT WindowBase::OnMenuChar(UINT, UINT, HMENU) { return 0; }
bool WindowBase::OnMenuSelect(UINT, UINT, HMENU) { return false; }
bool WindowBase::OnMouseMove(UINT, UINT) { return false; }
bool WindowBase::OnMouseWheel(UINT, UINT, UINT) { return false; }
bool WindowBase::OnMove(UINT, UINT) { return false; }
bool WindowBase::OnMoving(UINT, RECT*) { return false; }
bool WindowBase::OnNcDestroy() { return false; }
UINT WindowBase::OnNcHitTest(UINT) { return 0; }
bool WindowBase::OnNcPaint(HRGN) { return false; }
bool WindowBase::OnNextDlgCtl(UINT, UINT) { return false; }
LRESULT WindowBase::OnNotify(UINT, NMHDR*) { return 0; }
LRESULT WindowBase::OnNotifyReflected(UINT, NMHDR*) { return 0; }
bool WindowBase::OnPaint(HDC) { return false; }
bool WindowBase::OnParentNotify(WPARAM, LPARAM) { return false; }
bool WindowBase::OnRButtonDblClk(UINT, UINT) { return false; }
bool WindowBase::OnRButtonDown(UINT, UINT) { return false; }
bool WindowBase::OnRButtonUp(UINT, UINT) { return false; }
bool WindowBase::OnSetFocus(HWND) { return false; }
bool WindowBase::OnSettingChange(UINT, const wchar_t*) { return false; }
bool WindowBase::OnSize(UINT, UINT, UINT) { return false; }
bool WindowBase::OnSizing(UINT, RECT*) { return false; }
bool WindowBase::OnSysCommand(UINT, LPARAM) { return false; }
bool WindowBase::OnSysKeyDown(UINT, UINT, UINT) { return false; }
bool WindowBase::OnSysKeyUp(UINT, UINT, UINT) { return false; }
bool WindowBase::OnTimer(UINT) { return false; }
bool WindowBase::OnUpdateUIState(UINT, UINT) { return false; }
bool WindowBase::OnVScroll(UINT, UINT, HWND) { return false; }
bool WindowBase::OnWindowPosChanged(WINDOWPOS*) { return false; }
bool WindowBase::OnWindowPosChanging(WINDOWPOS*) { return false; }

bool WindowBase::Subclass()
{
    if (previousProc != nullptr)
        return false;
    if (handle == nullptr || !IsWindow(handle))
        return false;
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC));
    WindowBase* owner = WindowRegistry::shared.Find(handle);
    if (current == FrameworkWindowProc)
        return false;
    previousProc = current;
    previousOwner = owner;
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
            SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
            HandOver(previousOwner);
        } else {
            // A procedure installed since leads to the one this object installed, and restoring
            // would cut it out of the chain: a stand-in takes the object's place in the chain.
            // Nothing is needed when nothing leads there any more (during the window's last message).
            auto standIn = std::make_unique<PassThroughLayer>();
            if (HandOver(standIn.get())) {
                WindowBase* layer = standIn.release(); // deletes itself when the window is gone
                layer->handle = handle;
                layer->bound = true;
                layer->previousProc = previousProc;
                layer->previousOwner = previousOwner;
            }
        }
    }
    previousProc = nullptr;
    previousOwner = nullptr;
}

bool WindowBase::HandOver(WindowBase* successor)
{
    bool handed = LayerTurn::HandOver(this, successor);
    WindowBase* top = WindowRegistry::shared.Find(handle);
    if (top == this) {
        WindowRegistry::shared.Set(handle, successor);
        handed = true;
    }
    for (WindowBase* layer = top; layer != nullptr; layer = layer->previousOwner)
        if (layer->previousOwner == this) {
            layer->previousOwner = successor;
            handed = true;
        }
    return handed;
}

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
    previousOwner = nullptr;
    // Last, so that the object may subclass another window here, or end itself.
    OnWindowGone();
}
