// Identifiers of every resource and control of Ferrix, shared by Ferrix.rc and the code.
// Grouped by dialog; OK and Cancel are the platform's IDOK (1) and IDCANCEL (2).
#pragma once

// Application icon
#define IDI_APP 102

// Progress dialog
#define IDD_PROGRESS 106
#define IDC_PROGRESS_BAR 1029
#define IDC_STATUS_TEXT 1031
#define IDC_FROM_TEXT 1033
#define IDC_TO_TEXT 1034
#define IDC_FROM_LABEL 1035
#define IDC_TO_LABEL 1036

// Main dialog
#define IDD_MAIN 108
#define IDC_DELETE_CHECK 1037
#define IDC_SOURCE_EDIT 1038
#define IDC_DESTINATION_EDIT 1039
#define IDC_MASK_EDIT 1040
#define IDC_SEPARATOR_EDIT 1041
#define IDC_BROWSE_SOURCE 1042
#define IDC_BROWSE_DESTINATION 1043
