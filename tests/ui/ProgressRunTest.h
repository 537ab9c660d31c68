// The fixture of the progress-run tests: a temporary tree with a source folder, Copy settings as
// the main dialog leaves them, and a modal run of the real progress dialog with the source folder
// as the current directory, as the application runs it. Each test owns one.
#pragma once

#include "engine/CopySettings.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/ObservedProgressDialog.h"

#include <gtest/gtest.h>

#include <string>

class ProgressRunTest : public testing::Test {
protected:
    static void SetUpTestSuite();

    ProgressRunTest();

    // Runs the dialog modally with `source` as the current directory, until the worker ends it.
    void Run(ObservedProgressDialog& dialog);
    // Runs a dialog that only records, and returns what it recorded.
    ObservedProgressDialog::Trace Run();
    // Writes a file below the source folder.
    void WriteSource(const std::wstring& relative, const std::string& bytes);

    TempFolder root;
    const std::wstring source;
    const std::wstring destination;
    CopySettings settings;
};
