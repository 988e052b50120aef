/* Numeric ids of the editor's resources, dialogs, dialog controls and menu
   commands, shared by editor.rc and the code (plain defines for windres). */
#pragma once

/* Resources. */
#define IDI_APP 1            /* icon group 1: the application icon */
#define IDI_DEFAULT_NOTE 2   /* icon group 2 and icon image 2: the default note icon */
#define IDR_NOTE_TEMPLATE 3  /* "VEMTO" 3: the built note program */

/* Dialogs. */
#define IDD_MARGIN 100
#define IDD_AUTO_CLOSE 101
#define IDD_STYLE_NAME 102
#define IDD_IMAGE 103
#define IDD_ICON_TEMPLATE 104
#define IDD_ABOUT 105

/* Dialog controls. */
#define IDC_LINK 2000          /* About box: the web page link */
#define IDC_VALUE_EDIT 2001    /* margin, auto-close: the number; style name: the name */
#define IDC_VALUE_UPDOWN 2002
#define IDC_ENABLE_CHECK 2003  /* image and icon template dialogs */
#define IDC_BROWSE 2004
#define IDC_IMAGE_PATH 2005
#define IDC_RED_EDIT 2006
#define IDC_GREEN_EDIT 2007
#define IDC_BLUE_EDIT 2008
#define IDC_RED_UPDOWN 2009
#define IDC_GREEN_UPDOWN 2010
#define IDC_BLUE_UPDOWN 2011
#define IDC_ICON_PATH 2001     /* icon template dialog: the path */

/* The edit control, child 1 of the main window. */
#define IDC_NOTE_EDIT 1

/* Commands of the menu and the accelerators. */
#define CMD_OUTPUT_NOTE 1000
#define CMD_QUIT 1001
#define CMD_BACKGROUND_COLOR 1002
#define CMD_TEXT_COLOR 1003
#define CMD_FONT 1004
#define CMD_MARGIN 1005
#define CMD_AUTO_CLOSE 1006
#define CMD_README 1007
#define CMD_ABOUT 1008
#define CMD_REOPEN_NOTE 1009
#define CMD_REFLECT_CORRECTIONS 1010
#define CMD_ESCAPE_MESSAGE 1011
#define CMD_LOAD_STYLE_FIRST 1012 /* style n loads with 1011 + n */
#define CMD_LOAD_STYLE_LAST 1020
#define CMD_SAVE_STYLE_FIRST 1021 /* style n saves with 1020 + n */
#define CMD_SAVE_STYLE_LAST 1029
#define CMD_BACKGROUND_IMAGE 1030
#define CMD_ICON_TEMPLATE 1031
#define CMD_OPEN_FOLDER 1032
#define CMD_REFLECT_AND_QUIT 1033
#define CMD_OUTPUT_AND_QUIT 1034

/* The author's web page behind the About box's link. */
#define AUTHOR_PAGE_URL "https://tessark.example/"
