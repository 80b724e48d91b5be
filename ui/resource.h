// Resource numbers of the installer.
#pragma once

#define IDM_ABOUTBOX 0x0010
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_INSTALLER_DIALOG 102
#define IDR_MAINFRAME 128
#define IDI_FOLDER 130
#define IDC_FOLDER_EDIT 1000
#define IDC_BROWSE 1001
#define IDC_SEARCH 1004

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
