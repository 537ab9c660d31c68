// Reading and working the windows of another process through user32 alone, as a person would:
// texts are read and set with the messages the system marshals between processes, and buttons,
// keys and the close box are posted, never sent, because a sent click would block for as long as
// the message box or dialog it opens stays up. Calls that need an answer give up after a bounded
// time and throw std::runtime_error.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The visible top-level windows of a process, in z-order from the top.
std::vector<HWND> TopWindowsOf(DWORD processId);

std::wstring ClassOf(HWND window);
// The caption the system keeps for the window; read without a message, so it works while the
// window's thread is busy.
std::wstring CaptionOf(HWND window);
// A control's current text (WM_GETTEXT), such as what an edit holds now.
std::wstring TextOf(HWND control);
// Replaces a control's text (WM_SETTEXT), as typing a new text into an edit would.
void SetText(HWND control, const std::wstring& text);
// The dialog's control with this identifier; throws when there is none.
HWND Control(HWND dialog, int id);
bool IsChecked(HWND checkBox);
bool IsTopmost(HWND window);
// Whether top-level window `upper` is above `lower` in the z-order of all windows.
bool IsAbove(HWND upper, HWND lower);

// A click on a button (BM_CLICK).
void PostClick(HWND button);
// A key pressed and released (WM_KEYDOWN, WM_KEYUP) where the window's thread has its keyboard
// focus inside the window, else on the window itself; a dialog's message loop treats Enter and
// Escape the same either way.
void PostKey(HWND window, UINT virtualKey);
// What the caption's close box does (WM_SYSCOMMAND with SC_CLOSE).
void PostClose(HWND window);
// Returns once the window's thread has handled everything posted to it before, or has entered a
// nested modal loop (a message box, a dialog) while handling it: two round trips of WM_NULL, since
// a thread handles sent messages before it takes the next posted one. Not always: a thread that
// waits on another while it handles a posted message takes sent messages in the middle of it (seen
// once in some hundred posted clicks under load). A run held at a ProbeGate is let go only after
// the posted messages themselves.
void Settle(HWND window);

// The text of the selected item of a tree view in another process, read through memory lent in
// that process; empty when nothing is selected.
std::wstring SelectedTreeItemText(HWND tree);
// Selects the parent of a tree view's selected item, as a click on it would; false when the
// selection has no parent.
bool SelectParentTreeItem(HWND tree);
