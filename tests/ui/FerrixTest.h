// The fixture of the end-to-end tests: ferrix.exe, the program as shipped, started with exact
// command lines and worked from outside through its windows with the driver library, on trees in
// a temporary folder of the test's own. Each test owns one.
#pragma once

#include "tests/driver/DrivenProcess.h"
#include "tests/driver/MessageBoxWindow.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

class FerrixTest : public testing::Test {
protected:
    // The command line that starts ferrix.exe, its path quoted, followed by the arguments as given.
    static std::wstring FerrixCommand(const std::wstring& arguments = {});
    // A path in double quotes, as one command-line argument.
    static std::wstring Quote(const std::wstring& path);
    // A file in the build folder's screenshots folder, which is kept as test output.
    static std::wstring ScreenshotPath(const std::wstring& name);

    static HWND WaitForMainDialog(const DrivenProcess& ferrix);
    static HWND WaitForProgressDialog(const DrivenProcess& ferrix);
    static MessageBoxWindow WaitForMessageBox(const DrivenProcess& ferrix, HWND owner);
    // Waits for the message that a run leaves once its progress dialog has closed, checks that it
    // is captioned "Ferrix" and offers OK alone, answers it and returns its text.
    static std::wstring AnswerClosingMessage(const DrivenProcess& ferrix);

    // The text of one of the main dialog's edits: 0 source, 1 destination, 2 mask, 3 separator.
    static std::wstring EditText(HWND mainDialog, int index);
    // Types the four texts into the main dialog's edits.
    static void Fill(HWND mainDialog, const std::wstring& source, const std::wstring& destination,
                     const std::wstring& mask = L"*", const std::wstring& separator = L".");
    // Presses OK and answers the message box that it shows; returns the box's text and checks
    // that the box is captioned "Ferrix", offers exactly `buttons` and leaves the dialog open.
    static std::wstring PressOkAndAnswer(const DrivenProcess& ferrix, HWND mainDialog, int answer,
                                         const std::vector<int>& buttons = {IDOK});

    TempFolder root;
};
