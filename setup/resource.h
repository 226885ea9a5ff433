// Resource and control ids of setup.exe.
#pragma once

#define IDD_SETUP 102
#define IDC_REGISTER_BAND 1000
#define IDC_UNREGISTER_BAND 1001
