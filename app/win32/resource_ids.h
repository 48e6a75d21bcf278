// Resource and control ids of the KESTREL dialog, shared by the resource
// script and the code. Plain #defines, because the resource compiler reads
// this file too.
#pragma once

#define IDD_MAIN_DIALOG 101
#define IDI_KESTREL 102

#define IDC_PC_PATH 1000
#define IDC_DEVICE_NAME 1001
#define IDC_DEVICE_DIRECTORY 1002
#define IDC_DOWNLOAD 1003
#define IDC_UPLOAD 1004
#define IDC_EXIT 1005
#define IDC_BROWSE 1006
#define IDC_STATUS 1007
#define IDC_PORT 1012
#define IDC_CREDIT 1013
#define IDC_FETCH_AS_UTF8 1014
#define IDC_ABOUT 1015
