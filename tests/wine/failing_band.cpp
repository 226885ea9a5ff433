// A band library as a broken installation may have one: its registration fails and it has no
// unregistration at all. setup.exe must say so instead of reporting success.
#include <windows.h>

extern "C" HRESULT WINAPI DllRegisterServer() { return E_FAIL; }
