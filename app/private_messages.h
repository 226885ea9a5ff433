// Private window messages and command ids that cross components or threads, in one place.
#pragma once

#include <cstdint>

inline constexpr uint32_t kWmUser = 0x0400;

inline constexpr uint32_t kMsgTransferDone = kWmUser + 100;      // download worker -> view
inline constexpr uint32_t kMsgXmlLoaded = kWmUser + 200;         // XML loader -> view
inline constexpr uint32_t kMsgCheckingState = kWmUser + 3;       // view -> main window
inline constexpr uint32_t kMsgTrayNotify = kWmUser + 27;         // tray, pop-up, ticker -> main window
inline constexpr uint32_t kMsgRegisterUrl = kWmUser + 30;        // wParam: heap UTF-16 text, freed by the receiver
inline constexpr uint32_t kMsgFileDropped = kWmUser + 31;        // drop target -> view
inline constexpr uint32_t kMsgServerSocket = kWmUser + 400;      // listening socket -> view

inline constexpr uint32_t kCmdCheckAll = 165;
inline constexpr uint32_t kCmdShowMainWindow = 186;
inline constexpr uint32_t kCmdBringToFront = 32785;
inline constexpr uint32_t kCmdClosePopup = 32787;
inline constexpr uint32_t kCmdAppExit = 0xE141;  // the exit command id of the menu
