#include "ui/RepeatProofButton.h"

namespace {

// Bit 30 of a key message's flags: the key was already down before this message.
constexpr LPARAM wasDown = 1 << 30;

} // namespace

UINT RepeatProofButton::OnGetDlgCode(UINT virtualKey, MSG* message)
{
    // The dialog manager also asks without a message (for Enter, whether the focus is a default
    // button); 0 leaves the answer to the button.
    if (message == nullptr || message->message != WM_KEYDOWN || (message->lParam & wasDown) == 0)
        return 0;
    const LRESULT own = DefaultProcessing(WM_GETDLGCODE, virtualKey, reinterpret_cast<LPARAM>(message));
    return static_cast<UINT>(own) | DLGC_WANTMESSAGE;
}

bool RepeatProofButton::OnKeyDown(UINT, UINT, UINT keyFlags)
{
    // Space presses a button from its WM_KEYDOWN on and clicks it at WM_KEYUP; a button never
    // pressed ignores the WM_KEYUP.
    return (keyFlags & wasDown) != 0;
}
