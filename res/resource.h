// Resource numbers of Tessivox. The dialog and control numbers are also the
// keys of the language files ("IDD129_1009"), so they never change.
#pragma once

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_RENAMER_DIALOG 102
#define IDD_BEGINNER_PAGE 129
#define IDD_EXPERT_PAGE 130
#define IDD_EXPERT_OPTIONS 140

// Strings
#define IDS_ABOUTBOX 101

// Icons, cursors and bitmaps
#define IDR_MAINFRAME 128
#define IDC_LOADING_ANIMATION 131
#define IDB_PROGRESS_SKIN 132

// Controls of the main window (102)
#define IDC_FOLDER_TREE 1003
#define IDC_FILE_LIST 1004
#define IDC_PATH 1005
#define IDC_PAGE_TABS 1014
#define IDC_FILE_LIST_LABEL 1015
#define IDC_PROGRESS_FRAME 1023
#define IDC_PATH_LABEL 1025

// Controls of the Beginner page (129); Start is IDOK
#define IDC_ADD_DATE 1009
#define IDC_REMOVE_OLD_NAME 1010
#define IDC_ADD_TIME 1011
#define IDC_SAMPLE 1012
#define IDC_HOMEPAGE_LINK 1013
#define IDC_REPLACE 1016
#define IDC_REPLACE_FROM 1017
#define IDC_ADD_PREFIX 1018
#define IDC_PREFIX 1019
#define IDC_REPLACE_TO 1020
#define IDC_HELP_BUTTON 1021
#define IDC_INCLUDE_SUBFOLDERS 1022
#define IDC_BACK 1024
#define IDC_INTRODUCTION 1026
#define IDC_SETTINGS_GROUP 1027
#define IDC_SAMPLE_GROUP 1028
#define IDC_WITH_LABEL 1029

// Controls of the Expert page (130)
#define IDC_CONTACT 1030
#define IDC_NOTICE 1031

// Controls of the expert options (140), laid over the Expert page
#define IDC_USE_PHOTO_DATE 1040
#define IDC_SHOW_NEW_NAMES 1041
#define IDC_EXPERT_OPTIONS_NOTE 1042 // retired; the number is not given again
#define IDC_KEEP_RELATED 1043
#define IDC_USE_PATTERN 1044
#define IDC_PATTERN 1045
#define IDC_PATTERN_TOKENS 1046
#define IDC_TIME_SHIFT_LABEL 1047
#define IDC_TIME_SHIFT 1048
#define IDC_DATE_ORDER 1049
#define IDC_LOWER_CASE_EXTENSIONS 1050

// System menu command of the About box
#define IDM_ABOUTBOX 0x0010
