// The topmost dialog of a copy run: shows the listing texts, starts the copy worker, which writes
// the progress and ends the dialog, and turns Cancel and Close into a request the worker reads.
// Owned by the application's run, which keeps it and the Copy settings alive until RunModal returns.
#pragma once

#include "framework/Dialog.h"

#include <atomic>

struct CopySettings;

class ProgressDialog : public Dialog {
public:
    // A dialog on IDD_PROGRESS owned by the desktop window, for a run on these settings.
    explicit ProgressDialog(const CopySettings& settings);

    // Message handlers

    // WM_CLOSE: only raises the request; the worker ends the dialog.
    bool OnClose() override;
    // IDCANCEL (the Cancel button, Enter and Escape) only raises the request; nothing else ends
    // the dialog either.
    bool OnCommand(HWND control, UINT id, UINT code) override;
    // Shows the listing texts and starts the worker; ends the dialog at once with 0 when the
    // worker's thread cannot be created, since nothing else would close it.
    bool OnInitDialog() override;

    // Written only by the user-interface thread, from false to true once, and read by the worker,
    // which needs only to see the change: no other data comes with it, so relaxed ordering will do.
    std::atomic<bool> cancelRequested = false;
    // Read by the worker while it runs; nobody writes them meanwhile.
    const CopySettings& settings;
};
