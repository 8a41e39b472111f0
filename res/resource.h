#pragma once
// Resource ids of the launcher: dialog templates, images, controls.

// Dialog templates
#define IDD_LOGIN_DIALOG 102        // main window
#define IDD_LOGIN_PANEL 132         // login panel with the browser and its two buttons
#define IDD_CONFIRM_DIALOG 172      // exit confirmation

// Images (custom type "PNG" unless noted)
#define IDR_MAINFRAME 128           // icon
#define IDB_PNG_FACE 155            // main window face, 1334 x 725 RGBA
#define IDB_PNG_CLOSE 160           // close button strip, 54 x 216
#define IDB_PNG_MINIMIZE 162        // minimise button strip, 39 x 156
#define IDB_PNG_CONFIRM_OK 175      // "确定" strip, 74 x 104
#define IDB_PNG_CONFIRM_CANCEL 176  // "取消" strip, 74 x 104
#define IDB_CONFIRM_BACKGROUND 177  // bitmap, 256 x 110

// Controls
#define IDC_EXPLORER 1000           // the WebBrowser control on the login panel
#define IDC_CONFIRM_TITLE 1002
#define IDC_CONFIRM_MESSAGE 1003
#define IDC_BTN_CLOSE 1005
#define IDC_BTN_MINIMIZE 1006
#define IDC_CONFIRM_OK 1008
#define IDC_CONFIRM_CANCEL 1009
