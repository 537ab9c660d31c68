// A dialog on the tests' own template that runs a test's step once it is up and records the
// messages routed to it. Owned by the test. So that a test never waits forever on a modal run, it
// ends itself with `timedOut` when nothing else has ended it within five seconds.
#pragma once

#include "framework/Dialog.h"

#include <functional>
#include <vector>

class ScriptedDialog : public Dialog {
public:
    static constexpr int timedOut = 99;

    explicit ScriptedDialog(HWND parent = GetDesktopWindow());

    // Opens the dialog without a modal run, as a dialog that the message loop serves.
    bool OpenModeless();

    bool PreviewMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnInitDialog() override;
    bool OnTimer(UINT id) override;

    // Runs at the end of OnInitDialog, with the dialog bound.
    std::function<void(ScriptedDialog&)> onInit;
    // Every message number that reached PreviewMessage, in order.
    std::vector<UINT> routed;
};
