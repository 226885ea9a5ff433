// The options sheet as plain values: what its controls show, what they give back to the
// settings, which notification controls each method shows, the integer checks of its fields and
// the limit list's editing.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "store/settings.h"
#include "util/text.h"

struct OptionsForm {
  // 全般
  bool startup = false;  // the start-up shortcut; not part of the settings
  bool checkOnStart = true;
  int32_t delay = 3;
  bool periodic = true;
  int32_t timerMinutes = 30;
  int32_t notifyMethod = CSettings::kNotifyBalloon;
  bool notifyFolder = true;
  int32_t notifyPos = 4;
  bool autoClose = true;
  int32_t notifySeconds = 8;
  int32_t tickerInterval = 8;
  bool tickerScroll = true;
  int32_t textColor = 0;
  bool translucent = false;
  int32_t alphaStep = 3;  // slider position 0 to 4
  Text sound;
  // 表示
  bool targetBlank = true;
  bool titleOnly = false;
  bool leaveHtml = false;
  int32_t loadItem = 15;
  int32_t leftItem = 5;
  bool updateTitle = false;
  bool useBrowser = false;
  Text browser;
  bool browseAll = false;
  // 接続
  int32_t connection = 5;
  int32_t timeout = 30;
  int32_t port = 4474;
  bool useProxy = false;
  Text proxyServer;
  int32_t proxyPort = 80;
  Text proxyUser;
  Text proxyPassword;  // in clear
  // 制限/認証
  std::vector<Text> limitUrls;
  Text passPhrase;  // in clear
};

inline constexpr int32_t kAlphaSteps = 4;    // slider positions 0 to 4
inline constexpr int32_t kAlphaPerStep = 20;

// The passwords come in clear: the caller unprotects them.
OptionsForm FormFromSettings(const CSettings& settings, TextView proxyPassword, TextView passPhrase);
// Everything but the two protected texts, which the caller protects from the form's clear ones.
void ApplyOptionsForm(const OptionsForm& form, CSettings& settings);

// The notification controls a method shows.
struct NotifyControlGroups {
  bool folderList = false;    // balloon and pop-up
  bool colourAndAlpha = false;  // pop-up and ticker
  bool positionAndClose = false;  // pop-up
  bool tickerOnly = false;    // ticker
};
NotifyControlGroups VisibleNotifyControls(int32_t method);

// An integer field: the number or the message that keeps the dialog open.
struct IntegerField {
  std::optional<int32_t> value;
  Text message;  // empty when value is set
};
IntegerField CheckIntegerField(TextView text, int32_t minimum, int32_t maximum);

// "追加(&A)" of the limit list: the entry to select, or nullopt for a beep. `appended` says
// whether the text became a new last entry.
struct LimitListAddition {
  std::optional<size_t> select;
  bool appended = false;
};
LimitListAddition AddToLimitList(std::vector<Text>& list, TextView text);
