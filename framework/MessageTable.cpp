#include "framework/MessageTable.h"

#include "framework/StaticOrder.h"
#include "framework/WindowBase.h"
#include "framework/WindowRegistry.h"

#include <cstdint>

const MessageTable MessageTable::shared __attribute__((init_priority(MESSAGE_TABLE_INIT_PRIORITY)));

namespace {

// Unpacking. 32-bit: the low half of a parameter. Low16 and High16: bits 0-15 and 16-31, widened
// with zeros; the Signed forms widen with the sign. Full: the whole value as a handle or pointer.
UINT Low32(std::uint64_t value) { return static_cast<UINT>(value); }
UINT Low16(std::uint64_t value) { return static_cast<UINT>(value & 0xFFFF); }
UINT High16(std::uint64_t value) { return static_cast<UINT>((value >> 16) & 0xFFFF); }
int SignedLow16(std::uint64_t value) { return static_cast<std::int16_t>(Low16(value)); }
int SignedHigh16(std::uint64_t value) { return static_cast<std::int16_t>(High16(value)); }
template <typename T>
T Full(std::uint64_t value) { return reinterpret_cast<T>(static_cast<std::uintptr_t>(value)); }

// Result rules. B (a bool handler) needs no helper: its flag is the adapter's answer and the
// result stays as it was.
// V: the handler's value is the result; 0 means not handled.
bool Value(MessageRecord& record, LRESULT value)
{
    record.result = value;
    return value != 0;
}
// V32: an unsigned 32-bit value, widened with zeros.
bool Value32(MessageRecord& record, UINT value)
{
    record.result = static_cast<LRESULT>(value);
    return value != 0;
}
// BV: the flag, stored as 1 or 0.
bool Flag(MessageRecord& record, bool handled)
{
    record.result = handled ? 1 : 0;
    return handled;
}

// The adapter of every message without a handler.
bool NotHandled(MessageRecord&) { return false; }

// WM_DRAWITEM, WM_MEASUREITEM and WM_NOTIFY come to the parent; the control's own object, when
// the framework created or subclassed the control, gets the first say. A wrapper is not found.
bool DrawItem(MessageRecord& r)
{
    auto* item = Full<DRAWITEMSTRUCT*>(r.lParam);
    WindowBase* control = item != nullptr ? WindowRegistry::shared.Find(item->hwndItem) : nullptr;
    if (control != nullptr && Flag(r, control->OnDrawItemReflected(Low32(r.wParam), item)))
        return true;
    return Flag(r, r.target->OnDrawItem(Low32(r.wParam), item));
}

bool MeasureItem(MessageRecord& r)
{
    auto* item = Full<MEASUREITEMSTRUCT*>(r.lParam);
    const HWND controlWindow = GetDlgItem(r.target->handle, static_cast<int>(Low32(r.wParam)));
    WindowBase* control = WindowRegistry::shared.Find(controlWindow);
    if (control != nullptr && control->OnMeasureItemReflected(Low32(r.wParam), item))
        return true;
    return r.target->OnMeasureItem(Low32(r.wParam), item);
}

bool Notify(MessageRecord& r)
{
    auto* header = Full<NMHDR*>(r.lParam);
    WindowBase* control = header != nullptr ? WindowRegistry::shared.Find(header->hwndFrom) : nullptr;
    if (control != nullptr && Value(r, control->OnNotifyReflected(Low32(r.wParam), header)))
        return true;
    return Value(r, r.target->OnNotify(Low32(r.wParam), header));
}

} // namespace

// Each entry: the handler's signature, then the adapter that unpacks the message for it.
MessageTable::MessageTable()
{
    for (Adapter& adapter : adapters)
        adapter = NotHandled;

    // bool OnActivate(UINT state, HWND otherWindow, UINT minimised)
    adapters[WM_ACTIVATE] = [](MessageRecord& r) {
        return r.target->OnActivate(Low16(r.wParam), Full<HWND>(r.lParam), High16(r.wParam));
    };
    // bool OnActivateApp(UINT active, UINT threadId)
    adapters[WM_ACTIVATEAPP] = [](MessageRecord& r) {
        return r.target->OnActivateApp(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnCaptureChanged(HWND gainingWindow)
    adapters[WM_CAPTURECHANGED] = [](MessageRecord& r) {
        return r.target->OnCaptureChanged(Full<HWND>(r.lParam));
    };
    // bool OnChar(UINT character, UINT repeatCount, UINT keyFlags)
    adapters[WM_CHAR] = [](MessageRecord& r) {
        return r.target->OnChar(Low32(r.wParam), Low16(r.lParam), Low32(r.lParam));
    };
    // bool OnClose()
    adapters[WM_CLOSE] = [](MessageRecord& r) { return r.target->OnClose(); };
    // bool OnCommand(HWND control, UINT id, UINT code)
    adapters[WM_COMMAND] = [](MessageRecord& r) {
        return r.target->OnCommand(Full<HWND>(r.lParam), Low16(r.wParam), High16(r.wParam));
    };
    // bool OnContextMenu(HWND window, int x, int y)
    adapters[WM_CONTEXTMENU] = [](MessageRecord& r) {
        return r.target->OnContextMenu(Full<HWND>(r.wParam), SignedLow16(r.lParam), SignedHigh16(r.lParam));
    };
    // bool OnCreate(CREATESTRUCTW* create)
    adapters[WM_CREATE] = [](MessageRecord& r) { return r.target->OnCreate(Full<CREATESTRUCTW*>(r.lParam)); };
    // LRESULT OnCtlColorBtn(HDC deviceContext, HWND control)
    adapters[WM_CTLCOLORBTN] = [](MessageRecord& r) {
        return Value(r, r.target->OnCtlColorBtn(Full<HDC>(r.wParam), Full<HWND>(r.lParam)));
    };
    // LRESULT OnCtlColorDlg(HDC deviceContext, HWND control)
    adapters[WM_CTLCOLORDLG] = [](MessageRecord& r) {
        return Value(r, r.target->OnCtlColorDlg(Full<HDC>(r.wParam), Full<HWND>(r.lParam)));
    };
    // LRESULT OnCtlColorEdit(HDC deviceContext, HWND control)
    adapters[WM_CTLCOLOREDIT] = [](MessageRecord& r) {
        return Value(r, r.target->OnCtlColorEdit(Full<HDC>(r.wParam), Full<HWND>(r.lParam)));
    };
    // LRESULT OnCtlColorListBox(HDC deviceContext, HWND control)
    adapters[WM_CTLCOLORLISTBOX] = [](MessageRecord& r) {
        return Value(r, r.target->OnCtlColorListBox(Full<HDC>(r.wParam), Full<HWND>(r.lParam)));
    };
    // LRESULT OnCtlColorScrollBar(HDC deviceContext, HWND control)
    adapters[WM_CTLCOLORSCROLLBAR] = [](MessageRecord& r) {
        return Value(r, r.target->OnCtlColorScrollBar(Full<HDC>(r.wParam), Full<HWND>(r.lParam)));
    };
    // LRESULT OnCtlColorStatic(HDC deviceContext, HWND control)
    adapters[WM_CTLCOLORSTATIC] = [](MessageRecord& r) {
        return Value(r, r.target->OnCtlColorStatic(Full<HDC>(r.wParam), Full<HWND>(r.lParam)));
    };
    // bool OnDestroy()
    adapters[WM_DESTROY] = [](MessageRecord& r) { return r.target->OnDestroy(); };
    // bool OnDisplayChange(UINT bitsPerPixel, UINT width, UINT height)
    adapters[WM_DISPLAYCHANGE] = [](MessageRecord& r) {
        return r.target->OnDisplayChange(Low32(r.wParam), Low16(r.lParam), High16(r.lParam));
    };
    // bool OnDrawItem(UINT id, DRAWITEMSTRUCT* item), after bool OnDrawItemReflected(same) on the control
    adapters[WM_DRAWITEM] = DrawItem;
    // bool OnEnterSizeMove()
    adapters[WM_ENTERSIZEMOVE] = [](MessageRecord& r) { return r.target->OnEnterSizeMove(); };
    // bool OnEraseBkgnd(HDC deviceContext)
    adapters[WM_ERASEBKGND] = [](MessageRecord& r) {
        return Flag(r, r.target->OnEraseBkgnd(Full<HDC>(r.wParam)));
    };
    // bool OnExitSizeMove()
    adapters[WM_EXITSIZEMOVE] = [](MessageRecord& r) { return r.target->OnExitSizeMove(); };
    // UINT OnGetDlgCode(UINT virtualKey, MSG* message)
    adapters[WM_GETDLGCODE] = [](MessageRecord& r) {
        return Value32(r, r.target->OnGetDlgCode(Low32(r.wParam), Full<MSG*>(r.lParam)));
    };
    // bool OnGetMinMaxInfo(MINMAXINFO* info)
    adapters[WM_GETMINMAXINFO] = [](MessageRecord& r) {
        return r.target->OnGetMinMaxInfo(Full<MINMAXINFO*>(r.lParam));
    };
    // LRESULT OnHelp(HELPINFO* help)
    adapters[WM_HELP] = [](MessageRecord& r) {
        return Value(r, r.target->OnHelp(Full<HELPINFO*>(r.lParam)));
    };
    // bool OnHScroll(UINT request, UINT position, HWND scrollBar)
    adapters[WM_HSCROLL] = [](MessageRecord& r) {
        return r.target->OnHScroll(Low16(r.wParam), High16(r.wParam), Full<HWND>(r.lParam));
    };
    // bool OnInitDialog()
    adapters[WM_INITDIALOG] = [](MessageRecord& r) { return r.target->OnInitDialog(); };
    // bool OnInitMenu(HMENU menu)
    adapters[WM_INITMENU] = [](MessageRecord& r) { return r.target->OnInitMenu(Full<HMENU>(r.wParam)); };
    // bool OnInitMenuPopup(HMENU menu, UINT position, UINT windowMenu)
    adapters[WM_INITMENUPOPUP] = [](MessageRecord& r) {
        return r.target->OnInitMenuPopup(Full<HMENU>(r.wParam), Low16(r.lParam), High16(r.lParam));
    };
    // bool OnKeyDown(UINT virtualKey, UINT repeatCount, UINT keyFlags)
    adapters[WM_KEYDOWN] = [](MessageRecord& r) {
        return r.target->OnKeyDown(Low32(r.wParam), Low16(r.lParam), Low32(r.lParam));
    };
    // bool OnKeyUp(UINT virtualKey, UINT repeatCount, UINT keyFlags)
    adapters[WM_KEYUP] = [](MessageRecord& r) {
        return r.target->OnKeyUp(Low32(r.wParam), Low16(r.lParam), Low32(r.lParam));
    };
    // bool OnKillFocus(HWND gainingWindow)
    adapters[WM_KILLFOCUS] = [](MessageRecord& r) { return r.target->OnKillFocus(Full<HWND>(r.wParam)); };
    // bool OnLButtonDblClk(UINT keyState, UINT point)
    adapters[WM_LBUTTONDBLCLK] = [](MessageRecord& r) {
        return r.target->OnLButtonDblClk(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnLButtonDown(UINT keyState, UINT point)
    adapters[WM_LBUTTONDOWN] = [](MessageRecord& r) {
        return r.target->OnLButtonDown(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnLButtonUp(UINT keyState, UINT point)
    adapters[WM_LBUTTONUP] = [](MessageRecord& r) {
        return r.target->OnLButtonUp(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnMButtonDblClk(UINT keyState, UINT point)
    adapters[WM_MBUTTONDBLCLK] = [](MessageRecord& r) {
        return r.target->OnMButtonDblClk(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnMButtonDown(UINT keyState, UINT point)
    adapters[WM_MBUTTONDOWN] = [](MessageRecord& r) {
        return r.target->OnMButtonDown(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnMButtonUp(UINT keyState, UINT point)
    adapters[WM_MBUTTONUP] = [](MessageRecord& r) {
        return r.target->OnMButtonUp(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnMeasureItem(UINT id, MEASUREITEMSTRUCT* item), after bool OnMeasureItemReflected(same) on the control
    adapters[WM_MEASUREITEM] = MeasureItem;
    // LRESULT OnMenuChar(UINT character, UINT menuType, HMENU menu)
    adapters[WM_MENUCHAR] = [](MessageRecord& r) {
        return Value(r, r.target->OnMenuChar(Low16(r.wParam), High16(r.wParam), Full<HMENU>(r.lParam)));
    };
    // bool OnMenuSelect(UINT item, UINT flags, HMENU menu)
    adapters[WM_MENUSELECT] = [](MessageRecord& r) {
        return r.target->OnMenuSelect(Low16(r.wParam), High16(r.wParam), Full<HMENU>(r.lParam));
    };
    // bool OnMouseMove(UINT keyState, UINT point)
    adapters[WM_MOUSEMOVE] = [](MessageRecord& r) {
        return r.target->OnMouseMove(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnMouseWheel(UINT keyState, UINT delta, UINT point)
    adapters[WM_MOUSEWHEEL] = [](MessageRecord& r) {
        return r.target->OnMouseWheel(Low16(r.wParam), High16(r.wParam), Low32(r.lParam));
    };
    // bool OnMove(UINT x, UINT y)
    adapters[WM_MOVE] = [](MessageRecord& r) { return r.target->OnMove(Low16(r.lParam), High16(r.lParam)); };
    // bool OnMoving(UINT edge, RECT* rectangle)
    adapters[WM_MOVING] = [](MessageRecord& r) {
        return r.target->OnMoving(Low32(r.wParam), Full<RECT*>(r.lParam));
    };
    // bool OnNcDestroy(), inside the final-message steps of RouteMessage
    adapters[WM_NCDESTROY] = [](MessageRecord& r) { return r.target->OnNcDestroy(); };
    // UINT OnNcHitTest(UINT point); the answer keeps its sign (HTTRANSPARENT and HTERROR are negative)
    adapters[WM_NCHITTEST] = [](MessageRecord& r) {
        return Value(r, static_cast<int>(r.target->OnNcHitTest(Low32(r.lParam))));
    };
    // bool OnNcPaint(HRGN updateRegion)
    adapters[WM_NCPAINT] = [](MessageRecord& r) { return r.target->OnNcPaint(Full<HRGN>(r.wParam)); };
    // bool OnNextDlgCtl(UINT control, UINT isHandle)
    adapters[WM_NEXTDLGCTL] = [](MessageRecord& r) {
        return r.target->OnNextDlgCtl(Low32(r.wParam), Low16(r.lParam));
    };
    // LRESULT OnNotify(UINT id, NMHDR* header), after LRESULT OnNotifyReflected(same) on the control
    adapters[WM_NOTIFY] = Notify;
    // bool OnPaint(HDC deviceContext)
    adapters[WM_PAINT] = [](MessageRecord& r) { return r.target->OnPaint(Full<HDC>(r.wParam)); };
    // bool OnParentNotify(WPARAM wParam, LPARAM lParam)
    adapters[WM_PARENTNOTIFY] = [](MessageRecord& r) { return r.target->OnParentNotify(r.wParam, r.lParam); };
    // bool OnRButtonDblClk(UINT keyState, UINT point)
    adapters[WM_RBUTTONDBLCLK] = [](MessageRecord& r) {
        return r.target->OnRButtonDblClk(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnRButtonDown(UINT keyState, UINT point)
    adapters[WM_RBUTTONDOWN] = [](MessageRecord& r) {
        return r.target->OnRButtonDown(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnRButtonUp(UINT keyState, UINT point)
    adapters[WM_RBUTTONUP] = [](MessageRecord& r) {
        return r.target->OnRButtonUp(Low32(r.wParam), Low32(r.lParam));
    };
    // bool OnSetFocus(HWND losingWindow)
    adapters[WM_SETFOCUS] = [](MessageRecord& r) { return r.target->OnSetFocus(Full<HWND>(r.wParam)); };
    // bool OnSettingChange(UINT flag, const wchar_t* section)
    adapters[WM_SETTINGCHANGE] = [](MessageRecord& r) {
        return r.target->OnSettingChange(Low32(r.wParam), Full<const wchar_t*>(r.lParam));
    };
    // bool OnSize(UINT width, UINT height, UINT type)
    adapters[WM_SIZE] = [](MessageRecord& r) {
        return r.target->OnSize(Low16(r.lParam), High16(r.lParam), Low32(r.wParam));
    };
    // bool OnSizing(UINT edge, RECT* rectangle)
    adapters[WM_SIZING] = [](MessageRecord& r) {
        return r.target->OnSizing(Low32(r.wParam), Full<RECT*>(r.lParam));
    };
    // bool OnSysCommand(UINT command, LPARAM lParam)
    adapters[WM_SYSCOMMAND] = [](MessageRecord& r) {
        return r.target->OnSysCommand(Low32(r.wParam), r.lParam);
    };
    // bool OnSysKeyDown(UINT virtualKey, UINT repeatCount, UINT keyFlags)
    adapters[WM_SYSKEYDOWN] = [](MessageRecord& r) {
        return r.target->OnSysKeyDown(Low32(r.wParam), Low16(r.lParam), Low32(r.lParam));
    };
    // bool OnSysKeyUp(UINT virtualKey, UINT repeatCount, UINT keyFlags)
    adapters[WM_SYSKEYUP] = [](MessageRecord& r) {
        return r.target->OnSysKeyUp(Low32(r.wParam), Low16(r.lParam), Low32(r.lParam));
    };
    // bool OnTimer(UINT id)
    adapters[WM_TIMER] = [](MessageRecord& r) { return r.target->OnTimer(Low32(r.wParam)); };
    // bool OnUpdateUIState(UINT action, UINT state)
    adapters[WM_UPDATEUISTATE] = [](MessageRecord& r) {
        return r.target->OnUpdateUIState(Low16(r.wParam), High16(r.wParam));
    };
    // bool OnVScroll(UINT request, UINT position, HWND scrollBar)
    adapters[WM_VSCROLL] = [](MessageRecord& r) {
        return r.target->OnVScroll(Low16(r.wParam), High16(r.wParam), Full<HWND>(r.lParam));
    };
    // bool OnWindowPosChanged(WINDOWPOS* position)
    adapters[WM_WINDOWPOSCHANGED] = [](MessageRecord& r) {
        return r.target->OnWindowPosChanged(Full<WINDOWPOS*>(r.lParam));
    };
    // bool OnWindowPosChanging(WINDOWPOS* position)
    adapters[WM_WINDOWPOSCHANGING] = [](MessageRecord& r) {
        return r.target->OnWindowPosChanging(Full<WINDOWPOS*>(r.lParam));
    };
}
