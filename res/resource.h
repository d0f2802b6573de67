#pragma once

// Identifiers of the program's resources, shared by the C++ sources and the resource script.
// Plain #defines only: the resource compiler reads this file too. Every identifier exists in
// the English (1033) and the Japanese (1041) resources alike.

// Resource types that have no name in the platform headers.
#define RT_DLGINIT_ID 240

// Message codes of the records in dialog-initialisation data (type 240).
#define DLGINIT_CB_ADDSTRING 0x0403
#define DLGINIT_CBEM_INSERTITEM 0x1234

// Icon group and registry script share 128 with the product name; they are different types.
#define IDI_APP 128
#define IDR_REGISTRY 128

// Strings.
#define IDS_PRODUCT_NAME 128
#define IDS_VERB 256
#define IDS_ABOUT 272
#define IDS_METADATA_GROUP 288
#define IDS_PROPERTY 512
#define IDS_VALUE 513
#define IDS_USE_TIMESTAMP_OF 1040
#define IDS_SELECT_FOLDER 1041
// The progress window of a long folder apply.
#define IDS_PROGRESS_FOLDER 1100
#define IDS_PROGRESS_COUNTS 1101
#define IDS_PROGRESS_ONE_FILE 1102
#define IDS_PROGRESS_FILES 1103
#define IDS_PROGRESS_ONE_FOLDER 1104
#define IDS_PROGRESS_FOLDERS 1105
// Why a selection handed to the verb opens no sheet.
#define IDS_NOT_ON_DRIVE 1110
#define IDS_SELECTION_UNREADABLE 1111
#define IDS_PROGRESS_SELECTION 1106
#define IDS_MULTIPLE_TYPES 1120
#define IDS_ALL_IN 1121
#define IDS_VARIOUS_FOLDERS 1122
#define IDS_SELECTED_FOLDERS 1123
#define IDS_LOOP_SKIPPED 1124
#define IDS_LOOPS_SKIPPED 1125

// System-menu command of the About entry; it carries the number of its text, IDS_ABOUT.
#define IDM_ABOUT 272

// Page templates; the General and Advanced templates have dialog-initialisation data of the same ID.
#define IDD_GENERAL 129
#define IDD_ADVANCED 130
#define IDD_METADATA 131

// Controls of the pages.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_ITEM_ICON 1000
#define IDC_DISPLAY_NAME 1001
#define IDC_TYPE_NAME 1002
#define IDC_LOCATION 1003
#define IDC_NAME_PATTERNS 1004
#define IDC_RECURSIVE 1005
#define IDC_CURRENT_DATE_TIME 1006
#define IDC_METADATA_LIST 1007
#define IDC_CREATED_OPERATION 1010
#define IDC_ACCESSED_OPERATION 1011
#define IDC_MODIFIED_OPERATION 1012
#define IDC_CREATED_VALUE 1020
#define IDC_ACCESSED_VALUE 1021
#define IDC_MODIFIED_VALUE 1022
// The span box of each row, in the picker's place while the row's operation is the shift.
#define IDC_CREATED_SPAN 1023
#define IDC_ACCESSED_SPAN 1024
#define IDC_MODIFIED_SPAN 1025
#define IDC_EXCLUDE_SYSTEM 1030
#define IDC_EXCLUDE_HIDDEN 1031
#define IDC_BROWSE 1040
#define IDC_DATE_EDITOR 1050
#define IDC_DURATION_EDITOR 1060

// The "Select Folder" push button added to the file-open dialog of the Browse command.
#define IDC_SELECT_FOLDER 1041

// Context menus of the metadata list: a date value and a duration value.
#define IDR_DATE_MENU 1050
#define IDR_DURATION_MENU 1060

// Commands of those menus.
#define IDM_COPY 57634
#define IDM_DELETE 57632
#define IDM_SET_CURRENT_DATE_TIME 1051
#define IDM_SET_MIDNIGHT 1052
#define IDM_SET_SECOND_TO_ZERO 1053
#define IDM_SET_CREATION_TIME 1054
#define IDM_SET_ACCESS_TIME 1055
#define IDM_SET_MODIFICATION_TIME 1056
#define IDM_RESET 1061

// The Preview page and Undo of the last apply.
#define IDD_PREVIEW 132
#define IDC_UNDO 1070
#define IDC_PREVIEW_LIST 1071
#define IDC_PREVIEW_SUMMARY 1072
#define IDS_PREVIEW_SUMMARY 1130
#define IDS_PREVIEW_ONE_ITEM 1131
#define IDS_PREVIEW_ITEMS 1132
#define IDS_PREVIEW_ONE_STAYS 1133
#define IDS_PREVIEW_STAY 1134
#define IDS_PREVIEW_STOPPED 1135
#define IDS_PREVIEW_FAILED 1136
#define IDS_PREVIEW_CHANGE 1137
#define IDS_PREVIEW_NEW_ITEM 1138
#define IDS_PREVIEW_NAME 1139
#define IDS_PREVIEW_FOLDER 1140
#define IDS_PREVIEW_CREATED 1141
#define IDS_PREVIEW_MODIFIED 1142
#define IDS_PREVIEW_ACCESSED 1143
#define IDS_PREVIEW_PROGRESS_FOLDER 1144
#define IDS_PREVIEW_PROGRESS_SELECTION 1145
#define IDS_UNDO_CONFIRM_ONE 1150
#define IDS_UNDO_CONFIRM 1151
#define IDS_UNDO_PROGRESS 1152
#define IDS_UNDO_LEFT_ALONE_ONE 1153
#define IDS_UNDO_LEFT_ALONE 1154
// The files an apply left as they were for lack of a date taken, and the preview's word for one.
#define IDS_NO_DATE_TAKEN_ONE 1160
#define IDS_NO_DATE_TAKEN 1161
#define IDS_PREVIEW_NO_DATE_TAKEN 1162
