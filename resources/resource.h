// Resource ids shared by the .rc files and the code.
#pragma once

// Icons
#define IDI_PRODUCT 4

// String table
#define IDS_CAPTION                 2
#define IDS_TITLE                   4
#define IDS_CONFIRM_EXIT            5
#define IDS_GROUP_NAME              6
#define IDS_FOLDER_NOT_CREATED      7
#define IDS_CANNOT_CONTINUE         9
#define IDS_PROFILE_ERROR_TITLE     10
#define IDS_PROFILE_ERROR_TEXT      13
#define IDS_ASK_CONTINUE            14
#define IDS_ASK_CANCEL              15
#define IDS_CANNOT_INSTALL_FROM     17
#define IDS_MAIN_FILE               21
#define IDS_DISPLAY_NAME            22
#define IDS_NO_EDITOR               30
#define IDS_OLD_VERSION             31
#define IDS_STARTUP_CAPTION         32
#define IDS_UNINSTALL_FAILED_CAPTION 33
#define IDS_UNINSTALL_FAILED_TEXT   34
#define IDS_LICENCE_MISSING         35
#define IDS_INSERT_DISK_LABEL       36
#define IDS_INSERT_DISK_NUMBER      37
#define IDS_PICKER_TITLE            38
#define IDS_BACKUP_CAPTION          39
#define IDS_BACKUP_RETRY            40
#define IDS_EDITORS_MANUAL          41
#define IDS_WP8_SLOTS_FULL          42
#define IDS_WP8_CAPTION             43
#define IDS_WORD2000_NOT_FOUND      44
#define IDS_WORD2000_NOT_WRITTEN    45
#define IDS_WORD2000_CAPTION        46
#define IDS_ANOTHER_RUN             47
#define IDS_NO_JOURNAL              48
#define IDS_USAGE                   49
#define IDS_RESTART_FAILED          23
#define IDS_SPACE_WARNING           26
#define IDS_ADDRESS_BLANK           27
#define IDS_FILE_NOT_FOUND          28
#define IDS_ERR_UNKNOWN_TITLE       24576
#define IDS_ERR_UNKNOWN_TEXT        24577
#define IDS_ERR_MEMORY_TITLE        24578
#define IDS_ERR_MEMORY_TEXT         24579
#define IDS_STATUS_DONE             57345
#define IDS_STATUS_FAILED           57346
#define IDS_UNINSTALL_TITLE         57347

// Error dialog
#define IDD_ERROR                   1544
#define IDC_ERR_ICON                1100
#define IDC_ERR_MESSAGE             1101
#define IDC_ERR_TITLE               1102
#define IDC_ERR_EXPLANATION         1103
#define IDC_ERR_REFERENCE           1104
#define IDC_ERR_INFO_LABEL          1105

// Expandable dialogs: the toggle button and the marker of the compact area.
#define IDC_EXPAND_TOGGLE           119
#define IDC_EXPAND_MARKER           123

// Main window, billboards and gauge
#define IDI_BILLBOARD               138
#define IDB_BILLBOARD_PICTURE       148
#define IDB_BILLBOARD_SIDE          152
#define IDD_BILLBOARD_0             118
#define IDD_BILLBOARD_1             120
#define IDD_BILLBOARD_2             117
#define IDC_BILLBOARD_HEADING       1200
#define IDC_BILLBOARD_TEXT          1201
#define IDC_BILLBOARD_ART           1202
