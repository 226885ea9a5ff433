// Resource and command ids of pelun.exe, shared by the resource script and the code; plain
// defines so that the resource compiler reads them too.
#pragma once

#define IDC_STATIC (-1)

// Icon, menu bar, toolbar bitmap, accelerators and title string share the main frame's id.
#define IDR_MAINFRAME 128
// The toolbar strip at the larger artwork sizes (16 pixels is IDR_MAINFRAME's).
#define IDB_TOOLBAR_20 234
#define IDB_TOOLBAR_24 235
#define IDB_TOOLBAR_32 236
#define IDS_MAINFRAME_TITLE 128
#define IDR_POPUP_MENUS 136  // pop-up 0: the toolbar's "新規" drop-down; pop-up 1: the tray menu
#define IDR_MANIFEST 1

#define IDI_TRAY_IDLE 188
#define IDI_TRAY_NEWS 189
#define IDI_TRAY_CHECKING 190
#define IDI_TRAY_CHECKING2 196

#define IDD_ABOUTBOX 100
#define IDC_ABOUT_ICON 1000
#define IDC_ABOUT_VERSION 1001
#define IDC_ABOUT_INFO 1002
#define IDC_ABOUT_LINK 1003

// Commands of the menus, the toolbar and the tray.
#define ID_CHECK 135
#define ID_STOP 133
#define ID_TOOLBAR_NEW 134
#define ID_OPEN_SITE 151
#define ID_RENAME 152
#define ID_DELETE 153
#define ID_MARK_READ 156
#define ID_NEW_SITE 157
#define ID_NEW_FOLDER 158
#define ID_CHECK_ALL 165
#define ID_SHOW_ARTICLES 173
#define ID_SHOW_ARTICLES_STORED 174
#define ID_MARK_ALL_READ 183
#define ID_SHOW_MAIN_WINDOW 186
#define ID_OPTIONS 191
#define ID_PASTE_SITE 194
#define ID_CONTEXT_MENU 195
#define ID_NEW_SEARCH_SITE 197
#define ID_SORT_BY_NAME 32783
#define ID_BRING_TO_FRONT 32785
#define ID_CLOSE_POPUP 32787
#define ID_OPML_EXPORT_ALL 32790
#define ID_OPML_EXPORT_SELECTED 32792
#define ID_PROPERTIES 32794
#define ID_OPML_IMPORT 32795
#define ID_CLOSE_TICKER 32797
#define ID_SORT_BY_UPDATE 32807
#define ID_RESET_ARTICLES 32811
#define ID_FEED_LINK 32814
#define ID_SITE_LINK 32815
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// The add-site flow's dialogs.
#define IDD_ADDSITE 159
#define IDC_ADDSITE_URL 1001
#define IDC_ADDSITE_TARGET 1022
#define IDD_USER 207
#define IDC_USER_NAME 1031
#define IDC_USER_PASSWORD 1032
#define IDD_TRANSFER_PROGRESS 240
#define IDC_PROGRESS_URL 1041

// The site tree: its pictures (strips in image-list order, one per artwork size, smallest
// first), its three context menus and the new-folder dialog.
#define IDB_TREE_16 230
#define IDB_TREE_20 231
#define IDB_TREE_24 232
#define IDB_TREE_32 233
#define IDR_MENU_SITE 137
#define IDR_MENU_FOLDER 138
#define IDR_MENU_NON 139
#define IDD_ADD_FOLDER 160
#define IDC_FOLDER_NAME 1002

// The ticker's close button, normal and pressed (13 x 13).
#define IDB_TICKER_CLOSE 212
#define IDB_TICKER_CLOSE_PRESSED 213

// The options sheet's pages; control ids repeat across pages.
#define IDD_OPTIONS_GENERAL 200
#define IDC_OPT_TIMER 1002
#define IDC_OPT_PERIODIC 1003
#define IDC_OPT_CHECK_ON_START 1004
#define IDC_OPT_DELAY 1005
#define IDC_OPT_CHOOSE_COLOUR 1007
#define IDC_OPT_NOTIFY_FOLDER 1009
#define IDC_OPT_TICKER_INTERVAL 1010
#define IDC_OPT_TICKER_SCROLL 1011
#define IDC_OPT_CLOSE_SECONDS 1013
#define IDC_OPT_POSITION 1016
#define IDC_OPT_SOUND 1020
#define IDC_OPT_AUTO_CLOSE 1046
#define IDC_OPT_TRANSLUCENT 1047
#define IDC_OPT_COLOUR 1049
#define IDC_OPT_ALPHA 1051
#define IDC_OPT_POSITION_LABEL 1054
#define IDC_OPT_COLOUR_LABEL 1055
#define IDC_OPT_CLOSE_LABEL 1056
#define IDC_OPT_NOTIFY_METHOD 1058
#define IDC_OPT_INTERVAL_LABEL 1059
#define IDC_OPT_INTERVAL_UNIT 1060
#define IDC_OPT_STARTUP 1061
#define IDC_OPT_BROWSE_SOUND 1062
#define IDD_OPTIONS_DISPLAY 208
#define IDC_OPT_LOAD_ITEM 1002
#define IDC_OPT_USE_BROWSER 1003
#define IDC_OPT_BROWSE_BROWSER 1007
#define IDC_OPT_TARGET_BLANK 1014
#define IDC_OPT_LEFT_ITEM 1015
#define IDC_OPT_BROWSER 1019
#define IDC_OPT_BROWSE_ALL 1041
#define IDC_OPT_UPDATE_TITLE 1063
#define IDC_OPT_TITLE_ONLY 1065
#define IDC_OPT_LEAVE_HTML 1067
#define IDD_OPTIONS_CONNECTION 201
#define IDC_OPT_PROXY_SERVER 1002
#define IDC_OPT_USE_PROXY 1003
#define IDC_OPT_CONNECTION 1005
#define IDC_OPT_PORT 1010
#define IDC_OPT_TIMEOUT 1020
#define IDC_OPT_PROXY_PORT 1038
#define IDC_OPT_PROXY_USER 1039
#define IDC_OPT_PROXY_PASS 1040
#define IDD_OPTIONS_LIMITS 202
#define IDC_OPT_LIMIT_TEXT 1002
#define IDC_OPT_LIMIT_REMOVE 1003
#define IDC_OPT_PASS_PHRASE 1005
#define IDC_OPT_LIMIT_ADD 1007
#define IDC_OPT_LIMIT_LIST 1017

// The property sheets of a site and of a folder.
#define IDD_SITE_GENERAL 204
#define IDC_SITE_TITLE 1002
#define IDC_SITE_SRC 1005
#define IDC_SITE_LINK 1020
#define IDC_SITE_USER 1031
#define IDC_SITE_PASSWORD 1032
#define IDC_SITE_USE_DATE 1065
#define IDC_SITE_NO_CHECK 1066
#define IDD_SITE_INFO 217
#define IDC_ITEM_STATISTICS 1002
#define IDD_FOLDER_GENERAL 203
#define IDC_FOLDER_MINUTES 1002
#define IDC_FOLDER_OWN_INTERVAL 1003
#define IDC_FOLDER_TITLE 1005
#define IDC_FOLDER_PERIODIC 1023
#define IDD_FOLDER_FILTER 205
#define IDC_FILTER_KEYWORDS 1002
#define IDC_FILTER_TITLE 1003
#define IDC_FILTER_ANY 1026
#define IDC_FILTER_INCLUDE 1027
#define IDC_FILTER_BODY 1028
#define IDC_FILTER_LINK 1029
#define IDC_FILTER_ON 1030
#define IDC_FILTER_CREATOR 1033
#define IDC_FILTER_ACTION 1034
#define IDD_FOLDER_OPML 222

// The search-site dialog.
#define IDD_SEARCH_SITE 226
#define IDC_SEARCH_KEYWORD 1001
#define IDC_SEARCH_SITE 1002
#define IDC_SEARCH_PREVIEW 1003
