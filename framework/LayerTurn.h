// One framework layer's turn at one message of a window: opened by RouteMessage on its stack for as
// long as the layer routes the message, with the procedure that the layer replaced and the layer
// beneath it as they were when the message arrived. Each thread knows its innermost turn, so that a
// message that a layer passes on through procedures of other code reaches the next framework layer
// once instead of the top of the chain again, and so that an object destroyed meanwhile is left
// alone afterwards.
#pragma once

#include <windows.h>

class WindowBase;

class LayerTurn {
public:
    LayerTurn(WindowBase* layer, HWND window, UINT message, WNDPROC previousProc, WindowBase* next);
    ~LayerTurn();
    LayerTurn(const LayerTurn&) = delete;
    LayerTurn& operator=(const LayerTurn&) = delete;

    // The calling thread's innermost open turn, or null.
    static LayerTurn* Innermost();
    // The object is being destroyed: no open turn of this thread touches it or passes on to it.
    static void Forget(const WindowBase* object);
    // Open turns that would pass their message on to `object` pass it to `successor` instead. True
    // when there was one.
    static bool HandOver(const WindowBase* object, WindowBase* successor);

    // Gives the message to the procedure that the layer replaced, or to DefWindowProcW.
    LRESULT PassOn(WPARAM wParam, LPARAM lParam);
    // True while this turn passes `message` of `window` on and no framework procedure has taken it
    // up yet.
    bool PassesOn(HWND window, UINT message) const;
    // Taken up by a framework procedure: the message goes on at `next`, once.
    WindowBase* Claim();

    WindowBase* layer; // null once the object has been destroyed
    const HWND window;
    const UINT message;
    const WNDPROC previousProc;
    WindowBase* next;
    bool passedOn = false;

private:
    bool passing = false;
    bool claimed = false;
    LayerTurn* const outer;
};
