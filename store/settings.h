// The user's settings as the settings file "pelun.ini" holds them, with their defaults, the
// ranges enforced on reading, and the window positions kept in the same file.
#pragma once

#include <cstdint>
#include <vector>

#include "store/profile.h"
#include "shared/names.h"
#include "util/text.h"

inline constexpr char16_t kSettingsFileName[] = u"pelun.ini";

struct CProxySettings {
  static constexpr int32_t kFromSystem = 0;
  static constexpr int32_t kDirect = 1;
  static constexpr int32_t kGivenHere = 3;

  int32_t type = kFromSystem;
  Text server;
  int32_t port = 80;
  Text user;
  Text protectedPass;  // kept in protected form, exactly as stored
};

// Section "Option" with its two neighbours. Integers are kept as read (flags may hold any
// nonzero value) so that a save writes back what the user had.
struct CSettings {
  static constexpr int32_t kNotifyBalloon = 0;
  static constexpr int32_t kNotifyPopup = 1;
  static constexpr int32_t kNotifyTicker = 2;
  static constexpr int32_t kNotifyNone = 3;

  int32_t notifyMyWindow = kNotifyBalloon;
  int32_t notifyFolder = 1;
  int32_t notifySec = 8;
  int32_t notifyPos = 4;        // 0 centre, 1 top left, 2 top right, 3 bottom left, 4 bottom right
  int32_t notifyTextColor = 0;  // red in the low byte
  int32_t notifyAlpha = 100;
  int32_t tickerInterval = 8;
  int32_t tickerScroll = 1;
  Text sound = u"popup.wav";
  int32_t targetBlank = 1;
  int32_t firstCheck = 1;
  int32_t delay = 3;                             // seconds
  int32_t timer = 30;                            // minutes; 0 = no periodic checks
  int32_t connection = 5;                        // downloads at the same time
  int32_t timeout = 30;                          // seconds
  uint16_t portInUse = kDefaultServerPort;       // read at start-up, served on until exit
  uint16_t configuredPort = kDefaultServerPort;  // set by the options dialog, written back
  int32_t leftItem = 5;
  int32_t loadItem = 15;
  int32_t titleOnly = 0;
  int32_t leaveHtml = 0;
  Text browser;
  int32_t browseAll = 0;
  int32_t updateTitle = 0;
  Text protectedPassPhrase;  // "user": kept in protected form, exactly as stored

  std::vector<Text> limitUrls;  // section "LimitUrl"
  CProxySettings proxy;         // section "Proxy"
};

// Missing keys give the defaults above; out-of-range values are replaced silently.
CSettings LoadSettings(const IProfile& settingsFile);
// Every key of "Option", then "LimitUrl" ended by an empty key, then "Proxy". A failed write
// does not stop the others and is not reported: the settings file is best effort.
void WriteSettings(const CSettings& settings, IProfile& settingsFile);

// A port value taken as unsigned; anything above 65535 (negative values too) gives 4474.
uint16_t ClampPort(int32_t value);
// The port as start-up reads it, before the settings record exists.
uint16_t ReadStartupPort(const IProfile& settingsFile);
// The per-port instance lock's name: the prefix, "_" and the port in decimal.
Text PortMutexName(uint16_t port);

// Window positions, read and written by their own windows: places in screen pixels, sizes at
// 96 dpi (each window scales them to its monitor), so that they mean the same on any screen.
struct MainWindowPosition {
  int32_t left = 100;
  int32_t top = 100;
  int32_t width = 340;
  int32_t height = 450;
};
struct TickerPosition {
  int32_t left = 32;
  int32_t top = 32;
  int32_t width = 320;  // the height follows from the frame
};

MainWindowPosition ReadMainWindowPosition(const IProfile& settingsFile);
void WriteMainWindowPosition(IProfile& settingsFile, const MainWindowPosition& position);
TickerPosition ReadTickerPosition(const IProfile& settingsFile);
void WriteTickerPosition(IProfile& settingsFile, const TickerPosition& position);
