// Private window messages that cross components or threads, in one place. Command ids are in
// resource.h, which the resource script reads too.
#pragma once

#include <cstdint>

#include "app/resource.h"

inline constexpr uint32_t kWmUser = 0x0400;

inline constexpr uint32_t kMsgTransferDone = kWmUser + 100;      // download worker -> view
inline constexpr uint32_t kMsgXmlLoaded = kWmUser + 200;         // XML loader -> view
inline constexpr uint32_t kMsgCheckingState = kWmUser + 3;       // view -> main window
inline constexpr uint32_t kMsgTrayNotify = kWmUser + 27;         // tray, pop-up, ticker -> main window
inline constexpr uint32_t kMsgRegisterUrl = kWmUser + 30;        // wParam: heap UTF-16 text, freed by the receiver; lParam: kRegisterFromCommandLine or 0
// The text of kMsgRegisterUrl is a second copy's command line, whose switches the program obeys;
// any other text (the local server's "/add?") only ever opens the add-site flow.
inline constexpr intptr_t kRegisterFromCommandLine = 1;
inline constexpr uint32_t kMsgFileDropped = kWmUser + 31;        // drop target -> view
inline constexpr uint32_t kMsgTextDropped = kWmUser + 32;        // drop target -> view; lParam: the item under the drop
inline constexpr uint32_t kMsgBalloonClicked = kWmUser + 5;     // tray callback event: the balloon was clicked
inline constexpr uint32_t kMsgRefreshAlpha = kWmUser + 40;      // main window -> pop-up and ticker
inline constexpr uint32_t kMsgTickerNews = kWmUser + 41;        // main window -> ticker, wParam 1/0
inline constexpr uint32_t kMsgServerSocket = kWmUser + 400;      // listening socket -> view
