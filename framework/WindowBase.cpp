#include "framework/WindowBase.h"

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
