// The topmost dialog of a copy run: shows the listing texts, starts the copy worker, shows what the
// worker reports of its progress (all of it sent from the worker's thread) and ends when the
// worker finishes; turns Cancel and Close into a request that the worker reads. Owned by the
// application's run, which keeps it alive until RunModal returns and then reads the run's report.
#pragma once

#include "engine/CopyProgress.h"
#include "engine/CopySettings.h"
#include "engine/RunReport.h"
#include "framework/Dialog.h"
#include "ui/RepeatProofButton.h"

#include <atomic>

class ProgressDialog : public Dialog, private CopyProgress {
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

    // What the run passed over; complete once RunModal has returned after the worker finished
    // (`finished`), empty when no worker ran.
    const RunReport& Report() const { return report; }
    bool Finished() const { return finished.load(std::memory_order_acquire); }

    // Written only by the user-interface thread, from false to true once, and read by the worker,
    // which needs only to see the change: no other data comes with it, so relaxed ordering will do.
    std::atomic<bool> cancelRequested = false;
    // Read by the worker while it runs; nobody writes them meanwhile.
    const CopySettings& settings;

private:
    // The worker's progress, each a SendMessageW from the worker's thread that returns once the
    // dialog's thread has handled it.
    void ShowCopying() override;
    void SetRange(int count) override;
    void SetPosition(int position) override;
    void ShowFile(int number, int count, const std::wstring& from, const std::wstring& to) override;
    // Keeps the report and ends the dialog; the worker touches the dialog no more.
    void Finish(RunReport finalReport) override;

    static DWORD WINAPI RunWorker(LPVOID parameter);

    HWND status = nullptr, fromLabel = nullptr, toLabel = nullptr, fromText = nullptr, toText = nullptr,
         bar = nullptr;
    RunReport report;
    // Set by the worker after `report`, read by the user-interface thread after the run.
    std::atomic<bool> finished = false;
    // The Cancel button, which has the focus: a key still held from the main dialog does not
    // cancel the run.
    RepeatProofButton cancelButton;
};
