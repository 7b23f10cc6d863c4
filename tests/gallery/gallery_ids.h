// Control ids of the skin gallery dialog; the skin lines name them.
#pragma once

#define IDD_GALLERY 100
#define IDC_CHAR_NORMAL 1
#define IDC_CHAR_PRESSED 2
#define IDC_CHAR_DISABLED 3
#define IDC_CHAR_FOCUS 4
#define IDC_CHECK_NORMAL 1004
#define IDC_CHECK_CHECKED 1005
#define IDC_CHECK_DISABLED 1006
#define IDC_RADIO_FIRST 1008
#define IDC_RADIO_SECOND 1009
#define IDC_PROGRESS_EMPTY 1013
#define IDC_PROGRESS_HALF 1014
#define IDC_PROGRESS_FULL 1015
#define IDC_SLIDER 1016
#define IDC_MINIMIZE 1021
#define IDC_CLOSE 1022
#define IDC_LOGO 1023
#define IDC_LABEL 1030
#define IDC_PICTURE 1031
#define IDC_PLAIN_STATIC 1032

// The second gallery page: list-like controls.
#define IDD_GALLERY_MORE 101
#define IDC_COMBO 1040
#define IDC_SCROLL_EDIT 1041
#define IDC_LIST 1042
#define IDC_SPIN 1043
