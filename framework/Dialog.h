// A dialog box built from a template and run modally with RunModal; what no handler takes goes
// to the platform's dialog manager. Owned by whoever creates it; the object outlives its run and
// may be run again. Destroying it destroys a window that is still bound to it.
#pragma once

#include "framework/Window.h"

class Dialog : public Window {
public:
    // The template is a resource name or a numeric identifier (MAKEINTRESOURCEW); the parent owns
    // the dialog while it runs.
    Dialog(LPCWSTR templateName, HWND parent);

    // Answers 0: the dialog manager applies its own default.
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) override;
    ~Dialog() override;
    // WM_CLOSE ends the dialog with 0.
    bool OnClose() override;
    // A click on IDOK calls OnOk and one on IDCANCEL calls OnCancel; other controls and other
    // notifications are left to the dialog manager.
    bool OnCommand(HWND control, UINT id, UINT code) override;
    // Lets the dialog manager set the focus to the first control.
    bool OnInitDialog() override;

    // Called for IDOK: ends the dialog with 1. True when the platform accepted the ending.
    virtual bool OnOk();
    // Called for IDCANCEL: ends the dialog with 0. True when the platform accepted the ending.
    virtual bool OnCancel();

    // Runs the dialog modally, with the parent disabled meanwhile, and returns its end code, or
    // the platform's failure value (-1) when the dialog could not be created. `handle` is null
    // afterwards.
    INT_PTR RunModal();
    // Stores the end code and ends the dialog: a modal run ends (this branch may be taken from
    // another thread); otherwise a WM_NULL is posted when `postOnEnd` is set, or else the window
    // is destroyed. True when the platform call succeeded; a window whose destruction was refused
    // stays bound.
    bool End(int code);

    // True from the start of RunModal on; such a dialog never enters the modeless dialog list.
    bool isModal = false;
    // For a dialog that is not modal: End posts WM_NULL instead of destroying the window.
    bool postOnEnd = false;
    // The end code.
    INT_PTR result = 0;
    LPCWSTR templateName;
    HWND parent;

private:
    // DestroyWindow with `handle` null meanwhile, so that the window's handlers see the object
    // unbound. True when the window was destroyed; when the platform refuses, `handle` is kept.
    bool DestroyOwnWindow();
};
