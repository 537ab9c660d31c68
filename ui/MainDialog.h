// The first window of a run: shows the Copy settings in four edits and a check box, lets the user
// browse for both folders, checks the input on OK and writes it back into the settings. Owned by
// the application's run, which keeps it until the run is over; the settings outlive it.
#pragma once

#include "framework/Dialog.h"

#include <array>
#include <string>

struct CopySettings;

// The folder that the folder browser preselects: the text of the edit that the last browse
// started from. One process-wide string, empty at start.
extern std::wstring browseStartFolder;

class MainDialog : public Dialog {
public:
    // A dialog on IDD_MAIN owned by the desktop window, showing and editing these settings.
    explicit MainDialog(CopySettings& settings);

    // Message handlers

    // OK validates and ends the dialog with 1 when the run may start; Cancel ends it with 0; the
    // two "..." buttons browse for a folder. Every command counts as handled.
    bool OnCommand(HWND control, UINT id, UINT code) override;
    // Sets the caption and the icon, binds the controls and shows the settings' texts.
    bool OnInitDialog() override;

    // An information box owned by the dialog, captioned "Ferrix", with the text formatted
    // printf-style; a text longer than 1023 characters is cut there.
    void ShowMessage(const wchar_t* format, ...);
    // The whole current text of a control.
    static std::wstring GetControlText(const Window& control);
    // The shell's folder browser, rooted at the drives folder and opened on `current`: the folder
    // the user picked, or `current` unchanged when the user cancelled or nothing could be shown.
    std::wstring BrowseForFolder(const wchar_t* title, std::wstring current);
    // The folder browser's callback: once the browser is up, selects `browseStartFolder`.
    static int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM parameter, LPARAM data);

private:
    // The OK button: stores all five settings, then checks them in order and shows the first
    // problem; ends the dialog with 1 only when the settings are valid and the destination is a
    // folder, made here after the user agreed.
    void AcceptSettings();
    // Shows the message of a rejected OK and moves the focus into the edit at fault.
    void Reject(const Window& edit, const wchar_t* message);
    // A "..." button: browses from the edit's text and puts a picked folder into the edit.
    void BrowseInto(Window& edit, const wchar_t* title);
    // The settings' texts in the order of the edits.
    std::array<std::wstring*, 4> EditedTexts();

    CopySettings& settings;
    // Source, destination, mask and separator: the controls IDC_SOURCE_EDIT + index.
    Window edits[4];
    Window deleteCheck;
};
