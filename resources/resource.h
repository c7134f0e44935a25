// Resource ids shared by the .rc files and the code: every id has its one
// name here. The resource compiler reads this file too, so it holds
// #defines only.
#pragma once

// Controls that no code looks at.
#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

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
#define IDS_FOLDER_NOT_FULL         50
#define IDS_FOLDER_TOO_LONG         51
#define IDS_EARLIER_RUN_UNSETTLED   52
#define IDS_OTHER_FOLDER            53
#define IDS_DISTRIBUTION_DAMAGED_TITLE 54
#define IDS_DISTRIBUTION_DAMAGED_TEXT 55
#define IDS_RESTART_FAILED          23
#define IDS_SPACE_WARNING           26
#define IDS_ADDRESS_BLANK           27
#define IDS_FILE_NOT_FOUND          28
#define IDS_ERR_UNKNOWN_TITLE       24576
#define IDS_ERR_UNKNOWN_TEXT        24577
#define IDS_ERR_MEMORY_TITLE        24578
#define IDS_ERR_MEMORY_TEXT         24579
#define IDS_ERR_FILE_TITLE          24580
#define IDS_ERR_FILE_TEXT           24581
#define IDS_ERR_ARCHIVE_TITLE       24582
#define IDS_ERR_ARCHIVE_TEXT        24583
#define IDS_ERR_RESOURCE_TITLE      24584
#define IDS_ERR_RESOURCE_TEXT       24585
#define IDS_ERR_USER_TITLE          24586
#define IDS_ERR_USER_TEXT           24587
#define IDS_ERR_NOT_SUPPORTED_TITLE 24588
#define IDS_ERR_NOT_SUPPORTED_TEXT  24589
#define IDS_ERR_NOT_FOUND_TITLE     24590
#define IDS_ERR_NOT_FOUND_TEXT      24591
#define IDS_ERR_BAD_PATH_TITLE      24592
#define IDS_ERR_BAD_PATH_TEXT       24593
#define IDS_ERR_TOO_MANY_OPEN_TITLE 24594
#define IDS_ERR_TOO_MANY_OPEN_TEXT  24595
#define IDS_ERR_ACCESS_DENIED_TITLE 24596
#define IDS_ERR_ACCESS_DENIED_TEXT  24597
#define IDS_ERR_INVALID_FILE_TITLE  24598
#define IDS_ERR_REMOVE_CURRENT_DIR_TITLE 24599
#define IDS_ERR_DIRECTORY_FULL_TITLE 24600
#define IDS_ERR_DIRECTORY_FULL_TEXT 24601
#define IDS_ERR_BAD_SEEK_TITLE      24602
#define IDS_ERR_HARDWARE_TITLE      24603
#define IDS_ERR_HARDWARE_TEXT       24604
#define IDS_ERR_SHARING_TITLE       24605
#define IDS_ERR_SHARING_TEXT        24606
#define IDS_ERR_LOCK_TITLE          24607
#define IDS_ERR_LOCK_TEXT           24608
#define IDS_ERR_DISK_FULL_TITLE     24609
#define IDS_ERR_DISK_FULL_TEXT      24610
#define IDS_ERR_END_OF_FILE_TITLE   24611
#define IDS_ERR_METHOD_TITLE        27648
#define IDS_ERR_METHOD_TEXT         27649
#define IDS_ERR_NO_VOLUME_TITLE     27650
#define IDS_ERR_NO_VOLUME_TEXT      27651
#define IDS_ERR_NO_ENTRY_TITLE      27652
#define IDS_ERR_NO_ENTRY_TEXT       27653
#define IDS_ERR_DAMAGED_TITLE       27654
#define IDS_ERR_DAMAGED_TEXT        27655
#define IDS_ERR_CRC_TITLE           27656
#define IDS_ERR_CRC_TEXT            27657
#define IDS_ERR_ZLIB_TITLE          27658
#define IDS_ERR_ZLIB_TEXT           27659
#define IDS_ERR_ZLIB_STREAM_TITLE   27660
#define IDS_ERR_ZLIB_DATA_TITLE     27661
#define IDS_ERR_ZLIB_BUFFER_TITLE   27662
#define IDS_STATUS_DONE             57345
#define IDS_STATUS_FAILED           57346
#define IDS_UNINSTALL_TITLE         57347

// The wizard's pages: a page's id is the id of its dialog template.
#define IDD_PAGE_LICENCE            102
#define IDD_PAGE_FOLDER             104
#define IDD_PAGE_GROUP              106
#define IDD_PAGE_COPY               108
#define IDD_PAGE_READING            114
#define IDD_PAGE_DONE               115
#define IDD_PAGE_FAILED             116
#define IDD_PAGE_USER_DATA          126
#define IDD_PAGE_EDITORS            127
#define IDD_PAGE_UNINSTALL_CONFIRM  1545
#define IDD_PAGE_UNINSTALL_FILES    1546
#define IDD_PAGE_UNINSTALLED        1547
#define IDD_PAGE_REGISTERING        1549
#define IDD_PAGE_UNREGISTERING      1550
#define IDD_PAGE_RESTART            1558

// The bar under a page; its "Ajuda" is IDHELP (9), hidden.
#define IDD_BUTTON_BAR              129
#define IDC_NEXT                    1020
#define IDC_BACK                    1027

// Controls of the pages. A text the code changes on pages 116, 1547 and 127
// has one id, and so has the file being copied (page 108) or deleted (1546).
#define IDC_PAGE_TEXT               1037
#define IDC_CURRENT_FILE            1008
#define IDC_DESTINATION_FILE        1009
#define IDC_GAUGE                   1010
#define IDC_LICENCE_TEXT            1016
#define IDC_FOLDER_EDIT             1001
#define IDC_FOLDER_BROWSE           4
#define IDC_USER_NAME               1030
#define IDC_USER_COMPANY            1031
#define IDC_EDITOR_LIST             1018
#define IDC_EDITOR_MANUAL           1019
#define IDC_EDITOR_DESCRIPTION      1032
#define IDC_GROUP_NEW               1004
#define IDC_GROUP_EXISTING          1005
#define IDC_GROUP_NAME              1006
#define IDC_GROUP_LIST              1007
#define IDC_RESTART                 1035
#define IDC_DONT_RESTART            1036

// The free-space warning
#define IDD_FREE_SPACE              140
#define IDC_SPACE_TEXT              1042
#define IDC_RESTART_NOTE            1043
#define IDC_SPACE_NEEDED            1041
#define IDC_SPACE_AVAILABLE         1040

// The dictionary backup of an uninstallation ("Copiar" is IDOK)
#define IDD_DICTIONARY_BACKUP       149
#define IDC_BACKUP_CONTINUE         3

// The disk prompt: its folder field is the folder page's IDC_FOLDER_EDIT.
#define IDD_DISK_PROMPT             113
#define IDC_PROMPT_LINE             1026
#define IDC_PROMPT_EXPLANATION      1033
#define IDC_PROMPT_BROWSE           3
#define IDC_PROMPT_SKIP             1039

// The folder picker ("Canviar Carpeta"); its lists are the common dialog's.
#define IDD_FOLDER_PICKER           138
#define IDC_PICKER_ADDRESS_EDIT     1002
#define IDC_PICKER_ADDRESS_TEXT     1034

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
