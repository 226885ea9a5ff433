// The platform work of one running check: its download on a pooled worker, then the load and
// reading of its document on the loading thread. Dropping the work cancels it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "check/check_runner.h"
#include "check/fetch_request.h"
#include "check/xml_loader_win.h"

// Null when no worker can take the download. The result arrives as StartScheduledTransfer says.
std::unique_ptr<CheckWork> StartDownloadWork(FetchRequest request, HWND window, UINT message);

// Null when the load cannot start; `ticket` names the load whose result will arrive.
std::unique_ptr<CheckWork> StartLoadWork(CXmlLoadService& service, std::string body, DocumentReading reading,
                                         ItemId item, HWND window, UINT message, uint64_t* ticket);
