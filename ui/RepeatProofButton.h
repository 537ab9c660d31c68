// A push button that the repeats of a held key do not press: a key held down in the main dialog
// goes on repeating once the progress dialog has opened, where Enter, Escape and Space would
// cancel the run just started. A fresh press works as before. Owned by the dialog that subclasses
// its button with it.
#pragma once

#include "framework/Window.h"

class RepeatProofButton : public Window {
public:
    // Message handlers

    // Claims a repeated WM_KEYDOWN, so that the dialog manager hands it to the button instead of
    // making a command of it; other keys get the button's own answer.
    UINT OnGetDlgCode(UINT virtualKey, MSG* message) override;
    // Drops a repeated WM_KEYDOWN; a fresh one goes on to the button.
    bool OnKeyDown(UINT virtualKey, UINT repeatCount, UINT keyFlags) override;
};
