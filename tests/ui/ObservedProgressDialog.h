// The real progress dialog with its worker, observed through the framework: the dialog's own
// WM_SETTEXT through PreviewMessage, and its six worker-written controls subclassed to record
// WM_SETTEXT, PBM_SETRANGE32 and PBM_SETPOS. Owned by a test, which runs it modally.
#pragma once

#include "ui/ProgressDialog.h"

#include <functional>
#include <string>
#include <vector>

class ObservedProgressDialog : public ProgressDialog {
public:
    // One recorded message, written as a line of a trace: "caption Ferrix (1/3)", "status
    // Copying:", "range 0 3", "position 2", ...
    using Trace = std::vector<std::wstring>;

    explicit ObservedProgressDialog(const CopySettings& settings);

    bool PreviewMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Subclasses the controls before the worker starts, then lets ProgressDialog start it.
    bool OnInitDialog() override;
    // The bound of a run: after 30 s the test fails and cancellation is requested.
    bool OnTimer(UINT id) override;

    // Called on the user-interface thread right after each line is recorded, while the worker
    // waits for the message to be handled.
    std::function<void(ObservedProgressDialog&, const std::wstring& line)> onRecord;
    Trace trace;
    // What the dialog was like when the worker wrote the first numbered caption.
    bool topmost = false;
    HICON bigIcon = nullptr;

private:
    class RecordingControl : public Window {
    public:
        bool PreviewMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
        ObservedProgressDialog* owner = nullptr;
        const wchar_t* name = L"";
    };

    void Record(const std::wstring& line);

    RecordingControl controls[6];
};
