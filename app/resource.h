#pragma once

#define IDC_STATIC (-1)

#define IDR_MAINFRAME 128
#define IDS_MAINFRAME_TITLE 128
