// Templates, control ids and strings of the wizard's dialogs; every
// language library holds the same templates under these numbers.
#pragma once

#include <windows.h>

// Templates.
constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDD_PROGRESS_PAGE = 102;
constexpr UINT IDD_WELCOME_PAGE = 130;
constexpr UINT IDD_LICENCE_PAGE = 131;
constexpr UINT IDD_DESTINATION_PAGE = 133;
constexpr UINT IDD_WIZARD = 137;
constexpr UINT IDD_STEP_PANEL = 138;
constexpr UINT IDD_FINISH_PAGE = 146;
constexpr UINT IDD_REPAIR = 147;
constexpr UINT IDD_REPAIR_STEP_PANEL = 148;

// The frame's buttons.
constexpr UINT IDC_NEXT = 1;
constexpr UINT IDC_CANCEL_BUTTON = 2;
constexpr UINT IDC_BACK = 3;
constexpr UINT IDC_PRINT = 4;
constexpr UINT IDC_ACCEPT = 5;
constexpr UINT IDC_DECLINE = 6;
constexpr UINT IDC_FINISH = 7;
constexpr UINT IDC_MINIMIZE = 1021;
constexpr UINT IDC_CLOSE = 1022;
constexpr UINT IDC_LOGO = 1023;

// Strings.
constexpr UINT IDS_ABOUT = 101;
constexpr UINT IDS_CAPTION = 102;
constexpr UINT IDS_FINISH = 116;
constexpr UINT IDS_INVALID_FOLDER = 123;
constexpr UINT IDS_NEXT = 129;
constexpr UINT IDS_CANCEL = 130;

// The frame's own messages and commands.
constexpr UINT UM_START_SEQUENCE = WM_USER + 300;
constexpr UINT IDM_ABOUTBOX = 16;
constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE with the caption hit code

// The ball pictures of the step panels, in the temporary folder.
constexpr const wchar_t* kBallDone = L"lvf_ball_or.png";
constexpr const wchar_t* kBallCurrent = L"lvf_ball_green.png";
constexpr const wchar_t* kBallToCome = L"lvf_setup_gr.png";
