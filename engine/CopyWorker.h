// The body of one copy run, on a thread of its own: lists the source tree, copies (or moves) every
// listed file into the destination, reports its progress in the progress dialog and ends it.
// Everything it holds is its own and is released when it returns.
#pragma once

#include <windows.h>

#include <atomic>

class Dialog;
struct CopySettings;

// Runs with the progress dialog open on the user-interface thread; the dialog's controls are
// written with SendMessageW. Every source, the mask's folders included, is reached from the
// settings' source folder, which must be a full path when the current directory is not that
// folder; a relative destination resolves against the current directory. Checks
// `cancelRequested` before each file and ends the dialog with 0 when it has finished or been
// cancelled, touching neither the dialog nor the settings afterwards. Returns 0.
DWORD CopyWorker(Dialog& progress, const std::atomic<bool>& cancelRequested, const CopySettings& settings);
