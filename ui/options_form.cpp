#include "ui/options_form.h"

#include <algorithm>

namespace {

constexpr int32_t kOpaqueAlpha = 100;
constexpr int32_t kDefaultTimerMinutes = 30;   // shown while periodic checks are off
constexpr int32_t kDefaultNotifySeconds = 8;   // shown while notices stay until closed
constexpr int32_t kOpaqueAlphaStep = 3;
// Longest number text taken as a number; more digits are out of every range anyway.
constexpr size_t kMaxNumberDigits = 10;

int32_t AsFlag(bool checked) { return checked ? 1 : 0; }

int32_t AlphaStep(int32_t alpha) {
  if (alpha >= kOpaqueAlpha) return kOpaqueAlphaStep;
  if (alpha <= 0) return 0;
  return std::min(alpha / kAlphaPerStep, kAlphaSteps);
}

// Optional blanks, a sign, digits, optional blanks; nothing else.
std::optional<int64_t> ParseInteger(TextView text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > kMaxNumberDigits) return std::nullopt;
  int64_t value = 0;
  for (char16_t c : text) {
    if (!IsAsciiDigit(c)) return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return negative ? -value : value;
}

}  // namespace

OptionsForm FormFromSettings(const CSettings& s, TextView proxyPassword, TextView passPhrase) {
  OptionsForm f;
  f.checkOnStart = s.firstCheck != 0;
  f.delay = s.delay;
  f.periodic = s.timer != 0;
  f.timerMinutes = s.timer != 0 ? s.timer : kDefaultTimerMinutes;
  f.notifyMethod = s.notifyMyWindow;
  f.notifyFolder = s.notifyFolder != 0;
  f.notifyPos = s.notifyPos;
  f.autoClose = s.notifySec != 0;
  f.notifySeconds = s.notifySec != 0 ? s.notifySec : kDefaultNotifySeconds;
  f.tickerInterval = s.tickerInterval;
  f.tickerScroll = s.tickerScroll != 0;
  f.textColor = s.notifyTextColor;
  f.translucent = s.notifyAlpha < kOpaqueAlpha;
  f.alphaStep = AlphaStep(s.notifyAlpha);
  f.sound = s.sound;

  f.targetBlank = s.targetBlank != 0;
  f.titleOnly = s.titleOnly != 0;
  f.leaveHtml = s.leaveHtml != 0;
  f.loadItem = s.loadItem;
  f.leftItem = s.leftItem;
  f.updateTitle = s.updateTitle != 0;
  f.useBrowser = !s.browser.empty();
  f.browser = s.browser;
  f.browseAll = s.browseAll != 0;

  f.connection = s.connection;
  f.timeout = s.timeout;
  f.port = s.configuredPort;
  f.useProxy = s.proxy.type == CProxySettings::kGivenHere || s.proxy.type == CProxySettings::kDirect;
  f.proxyServer = s.proxy.server;
  f.proxyPort = s.proxy.port;
  f.proxyUser = s.proxy.user;
  f.proxyPassword = Text(proxyPassword);

  f.limitUrls = s.limitUrls;
  f.passPhrase = Text(passPhrase);
  return f;
}

void ApplyOptionsForm(const OptionsForm& f, CSettings& s) {
  s.firstCheck = AsFlag(f.checkOnStart);
  s.delay = f.delay;
  s.timer = f.periodic ? f.timerMinutes : 0;
  s.notifyMyWindow = f.notifyMethod;
  s.notifyFolder = AsFlag(f.notifyFolder);
  s.notifyPos = f.notifyPos;
  s.notifySec = f.autoClose ? f.notifySeconds : 0;
  s.tickerInterval = f.tickerInterval;
  s.tickerScroll = AsFlag(f.tickerScroll);
  s.notifyTextColor = f.textColor;
  s.notifyAlpha = f.translucent ? f.alphaStep * kAlphaPerStep : kOpaqueAlpha;
  s.sound = f.sound;

  s.targetBlank = AsFlag(f.targetBlank);
  s.titleOnly = AsFlag(f.titleOnly);
  s.leaveHtml = AsFlag(f.leaveHtml);
  s.loadItem = f.loadItem;
  s.leftItem = f.leftItem;
  s.updateTitle = AsFlag(f.updateTitle);
  s.browser = f.useBrowser ? f.browser : Text();
  s.browseAll = f.useBrowser ? AsFlag(f.browseAll) : 0;

  s.connection = f.connection;
  s.timeout = f.timeout;
  s.configuredPort = ClampPort(f.port);  // the port in use stays until the next start
  const bool proxyGiven = f.useProxy && !f.proxyServer.empty() && f.proxyPort != 0;
  s.proxy.type = proxyGiven ? CProxySettings::kGivenHere : CProxySettings::kFromSystem;
  s.proxy.server = f.proxyServer;
  s.proxy.port = f.proxyPort;
  s.proxy.user = f.proxyUser;

  s.limitUrls = f.limitUrls;
}

NotifyControlGroups VisibleNotifyControls(int32_t method) {
  const bool balloon = method == CSettings::kNotifyBalloon;
  const bool popup = method == CSettings::kNotifyPopup;
  const bool ticker = method == CSettings::kNotifyTicker;
  return {balloon || popup, popup || ticker, popup, ticker};
}

// The texts of the platform's own dialog-data checks, which users know from other programs.
IntegerField CheckIntegerField(TextView text, int32_t minimum, int32_t maximum) {
  const auto number = ParseInteger(text);
  if (!number) return {std::nullopt, u"Please enter an integer."};
  if (*number < minimum || *number > maximum)
    return {std::nullopt, u"Please enter an integer between " + DecimalText(minimum) + u" and " +
                              DecimalText(maximum) + u"."};
  return {static_cast<int32_t>(*number), Text()};
}

// An entry that begins with the text (ignoring case) already covers it as a part of addresses.
LimitListAddition AddToLimitList(std::vector<Text>& list, TextView text) {
  text = Trim(text);
  if (text.empty()) return {};
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].size() >= text.size() && EqualsIgnoreCaseAscii(TextView(list[i]).substr(0, text.size()), text))
      return {i, false};
  list.emplace_back(text);
  return {list.size() - 1, true};
}
