// Identifiers shared by the resource script and the program. Plain macros: the
// resource compiler's preprocessor reads this file too.
#pragma once

#define IDS_PROGRAM_TITLE 1

#define IDD_MAIN_WINDOW 101
#define IDD_MESSAGE 102
#define IDD_ABOUT 10001

#define IDI_PROGRAM 101

#define IDB_SKIN 101
#define IDB_MESSAGE_SKIN 102
#define IDB_UPDATE 201
#define IDB_UPDATE_PRESSED 202
#define IDB_CLOSE 203
#define IDB_CLOSE_PRESSED 204
#define IDB_OK 205
#define IDB_OK_PRESSED 206
#define IDB_MESSAGE_CLOSE 207
#define IDB_MESSAGE_CLOSE_PRESSED 208
#define IDB_INFORMATION 209
#define IDB_WARNING 210
#define IDB_ERROR 211
#define IDB_PROGRESS 1102

#define IDC_UPDATE 1101
#define IDC_PROGRESS 1102
#define IDC_ENGLISH 20481
#define IDC_DEUTSCH 20484
#define IDC_MESSAGE_ICON 1201
#define IDC_MESSAGE_TEXT 1202
#define IDC_ABOUT_NAME 1001
#define IDC_ABOUT_VERSION 1002
#define IDC_ABOUT_NOTICE 1003

#define IDM_ABOUT 10001
#define IDR_SKIN_MENU 301
#define IDR_SHORTCUTS 302
