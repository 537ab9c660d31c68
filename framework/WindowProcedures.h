// The two procedures through which the platform reaches the framework's objects: the window
// procedure of the framework's window class and of subclassed windows, and the dialog procedure
// of dialogs run by the framework. Both find the object in the registry and route the message.
// No exception from a handler leaves them: a message whose handling threw is answered as one
// that no handler took. WindowProcedures.cpp holds the whole routing and opens with the life of a
// message.
#pragma once

#include <windows.h>

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FrameworkDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
