// The band's entries in the registry: its classes, its type library, the browser's toolbar
// list and context menu, and the permission of its helper class in its own pages.
#pragma once

#include <windows.h>

HRESULT RegisterBandServer();
HRESULT UnregisterBandServer();
