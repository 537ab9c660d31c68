// A message box of another process: the #32770 window that the showing window owns, with its text
// in the static 0xFFFF. A view over the handle, which belongs to the other process.
#pragma once

#include "tests/driver/WindowQuery.h"

#include <windows.h>

#include <string>
#include <vector>

class MessageBoxWindow {
public:
    // What finds the message box that `owner` shows.
    static WindowQuery OwnedBy(HWND owner);

    explicit MessageBoxWindow(HWND window) : handle(window) {}

    std::wstring Text() const;
    std::wstring Caption() const;
    // The identifiers of its visible buttons (IDOK, IDYES, IDNO, ...), in control order.
    std::vector<int> Buttons() const;
    // Clicks the button with this identifier; the box closes on the other process's time.
    void Answer(int button) const;

    HWND handle;
};
