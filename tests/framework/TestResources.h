// Identifiers of the framework tests' own dialog template (FrameworkTest.rc).
#pragma once

#define IDD_TEST_DIALOG 200
#define IDC_TEST_EDIT 201
#define IDC_TEST_OTHER 202
