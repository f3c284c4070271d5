#pragma once
// Identifiers of the program's resources and of the dialogs' controls,
// shared by the resource script and the code that uses them.

#define IDD_MAIN_DIALOG 129
#define IDD_ABOUT_DIALOG 100
#define IDI_PROGRAM 128

// Main dialog controls.
#define IDC_TEST 1
#define IDC_ESC 2
#define IDC_WINDOW_LIST 1000
#define IDC_REPEAT_LIST 1001
#define IDC_RESULT 1002
#define IDC_SITE_LINK 1003
#define IDC_UNIT 1004
// Created when the dialog opens, below the unit label: the core clocks and
// their label.
#define IDC_CORE_CLOCK 1005
#define IDC_CORE_UNIT 1006
// Created when the dialog opens, in rows above the results: the test's
// options and the history window's button in one row, the processor's name
// and the legends of the marks in the result rows, the rated clocks with the
// latest test's verdict, and what caps the clocks.
#define IDC_ONE_BY_ONE 1007
#define IDC_HISTORY 1008
#define IDC_PROCESSOR_NAME 1009
#define IDC_LEGEND 1010
#define IDC_CLASS_LEGEND 1011
#define IDC_RATED_CLOCKS 1012
#define IDC_POWER_CAPS 1013

// Controls without an identifier of their own.
#define IDC_NONE -1

// Command that opens the About box; other programs may send it. It is also
// an entry of the main dialog's system menu.
#define IDM_ABOUT 57664
// The system menu's entry that opens the history window. System menu commands
// keep their four low bits clear, which the system uses.
#define IDM_HISTORY 57680
