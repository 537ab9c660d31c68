// A WindowBase that can create its window: one of the framework's own class "Qarno Window" or of
// any other class, bound to the object from creation on. Owned by whoever creates it. Destroying
// the object leaves its window alive: a window of the framework's class then reaches no object
// any more and gets only the platform's default processing; a subclassed one is handed back.
#pragma once

#include "framework/WindowBase.h"

class Window : public WindowBase {
public:
    // Called by Create with the creation parameters (position CW_USEDEFAULT, everything else
    // empty) before the window is created; an override may fill in class, style, name and parent.
    virtual void PrepareCreate(CREATESTRUCTW& create);
    // Creates a window from the prepared parameters, of the framework's class unless
    // PrepareCreate named another (registered on first use). A window of a class with another
    // procedure is subclassed at once. False when the platform refused to create the window.
    virtual bool Create(HWND parent);
    // Creates a window of the given class at the rectangle (null: default position and size) and,
    // unless the class uses the framework's procedure, subclasses it at once; the messages that
    // the window received during creation did not reach the object. False on failure.
    virtual bool CreateOfClass(LPCWSTR className, const RECT* rectangle, LPCWSTR windowName, DWORD style,
                               DWORD extendedStyle, HWND parent, HMENU menu);

private:
    // CreateWindowExW with the object itself as the creation parameter, into `handle`. When the
    // platform refuses, the object hears once that its window is gone. False on failure.
    bool CreateBound(DWORD extendedStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance);
};
