// What a driver looks for among the top-level windows of another process: a class, a caption, a
// control it must hold and the window that must own it, each optional. A plain value, built as
// WindowQuery().OfClass(L"#32770").Captioned(L"Ferrix").WithControl(1038).
#pragma once

#include <windows.h>

#include <string>

struct WindowQuery {
    std::wstring className; // exact, such as L"#32770" for a dialog or message box; empty: any
    std::wstring caption;   // exact; empty: any
    int control = 0;        // nonzero: the window has a child with this identifier
    int absentControl = 0;  // nonzero: the window has no child with this identifier
    HWND owner = nullptr;   // non-null: the window is owned by this one

    WindowQuery OfClass(const std::wstring& name) const;
    WindowQuery Captioned(const std::wstring& text) const;
    WindowQuery WithControl(int id) const;
    WindowQuery WithoutControl(int id) const;
    WindowQuery OwnedBy(HWND window) const;

    bool Matches(HWND window) const;
    // For failure messages, such as `a #32770 window captioned "Ferrix" with control 1038`.
    std::string Describe() const;
};

// A wide text as UTF-8, for failure messages.
std::string Utf8(const std::wstring& text);
