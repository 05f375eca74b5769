#pragma once
// Templates and ids of the window-layer tests.
#define IDD_PAGE 200
#define IDD_ROOT 201
#define IDD_MODAL 202
#define IDD_REFLECT 203
#define IDD_FORM 204
#define IDD_CONTROLS 205

#define IDS_FRAME 128

#define IDC_EDIT 1002
#define IDC_OWNERDRAW 1001
#define IDC_STATIC_PLAIN 1003
#define IDC_BUTTON_EX 1004
#define IDC_BUTTON_PLAIN 1005
#define IDC_BUTTON_CONSUME 1006
#define IDC_LABEL 1007
