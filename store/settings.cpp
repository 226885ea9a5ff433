#include "store/settings.h"

namespace {

constexpr char16_t kOptionSection[] = u"Option";
constexpr char16_t kLimitUrlSection[] = u"LimitUrl";
constexpr char16_t kProxySection[] = u"Proxy";
constexpr char16_t kWindowSection[] = u"Window";
constexpr char16_t kTickerSection[] = u"Ticker";
constexpr char16_t kPassPhraseKey[] = u"user";

// Accepted ranges; a value outside gets the key's default. Values are compared as unsigned, so
// a negative number counts as a huge one.
constexpr uint32_t kNotifyPositions = 5;
constexpr uint32_t kMaxDelaySeconds = 600;
constexpr uint32_t kMinTimerMinutes = 15;
constexpr uint32_t kMaxTimerMinutes = 999;
constexpr uint32_t kMaxConnections = 10;
constexpr uint32_t kMinTimeoutSeconds = 10;
constexpr uint32_t kMaxTimeoutSeconds = 99;
constexpr uint32_t kMaxPort = 65535;

// Reads each visited key, the member's current value being the default.
struct KeyReader {
  const IProfile& file;
  TextView section;

  void operator()(TextView key, int32_t& value) const { value = file.ReadInt(section, key, value); }
  void operator()(TextView key, uint16_t& port) const {
    port = ClampPort(file.ReadInt(section, key, port));
  }
  void operator()(TextView key, Text& value) const { value = file.ReadString(section, key, value); }
};

// Writes each visited key: settings as unsigned decimal, window coordinates as signed.
struct KeyWriter {
  IProfile& file;
  TextView section;
  bool signedIntegers = false;

  void operator()(TextView key, const int32_t& value) const {
    Put(key,
        signedIntegers ? DecimalText(value) : UnsignedDecimalText(static_cast<uint32_t>(value)));
  }
  void operator()(TextView key, const uint16_t& port) const { Put(key, UnsignedDecimalText(port)); }
  void operator()(TextView key, const Text& value) const { Put(key, value); }
  void Put(TextView key, TextView value) const { (void)file.WriteString(section, key, value); }
};

// "Option" in the order of the file's definition, all but the pass phrase, which is read later
// (after "LimitUrl") and written last.
template <typename Settings, typename Visitor>
void VisitOptionKeys(Settings& s, const Visitor& visit) {
  visit(u"notifyMyWindow", s.notifyMyWindow);
  visit(u"notifyfolder", s.notifyFolder);
  visit(u"notifySec", s.notifySec);
  visit(u"notifyPos", s.notifyPos);
  visit(u"notifyTextColor", s.notifyTextColor);
  visit(u"notifyAlpha", s.notifyAlpha);
  visit(u"tickerInterval", s.tickerInterval);
  visit(u"tickerScroll", s.tickerScroll);
  visit(u"sound", s.sound);
  visit(u"targetblank", s.targetBlank);
  visit(u"first", s.firstCheck);
  visit(u"delay", s.delay);
  visit(u"timer", s.timer);
  visit(u"connection", s.connection);
  visit(u"timeout", s.timeout);
  visit(u"port", s.configuredPort);
  visit(u"LeftItem", s.leftItem);
  visit(u"LoadItem", s.loadItem);
  visit(u"TitleOnly", s.titleOnly);
  visit(u"LeaveHtml", s.leaveHtml);
  visit(u"browser", s.browser);
  visit(u"browseAll", s.browseAll);
  visit(u"updateTitle", s.updateTitle);
}

template <typename Proxy, typename Visitor>
void VisitProxyKeys(Proxy& p, const Visitor& visit) {
  visit(u"type", p.type);
  visit(u"server", p.server);
  visit(u"port", p.port);
  visit(u"user", p.user);
  visit(u"pass", p.protectedPass);
}

template <typename Position, typename Visitor>
void VisitPositionKeys(Position& p, const Visitor& visit) {
  visit(u"left", p.left);
  visit(u"top", p.top);
  visit(u"width", p.width);
  if constexpr (requires { p.height; }) visit(u"height", p.height);
}

Text LimitUrlKey(size_t index) {
  return u"url_" + UnsignedDecimalText(static_cast<uint32_t>(index));
}

void ClampToAcceptedRanges(CSettings& s) {
  const CSettings defaults;
  auto asUnsigned = [](int32_t value) { return static_cast<uint32_t>(value); };
  if (asUnsigned(s.notifyPos) >= kNotifyPositions) s.notifyPos = defaults.notifyPos;
  if (asUnsigned(s.delay) > kMaxDelaySeconds) s.delay = defaults.delay;
  if (s.timer != 0 &&
      (asUnsigned(s.timer) < kMinTimerMinutes || asUnsigned(s.timer) > kMaxTimerMinutes))
    s.timer = defaults.timer;
  if (s.connection == 0 || asUnsigned(s.connection) > kMaxConnections)
    s.connection = defaults.connection;
  if (asUnsigned(s.timeout) < kMinTimeoutSeconds || asUnsigned(s.timeout) > kMaxTimeoutSeconds)
    s.timeout = defaults.timeout;
}

template <typename Position>
Position ReadPosition(const IProfile& file, TextView section) {
  Position position;
  VisitPositionKeys(position, KeyReader{file, section});
  return position;
}

template <typename Position>
void WritePosition(IProfile& file, TextView section, const Position& position) {
  VisitPositionKeys(position, KeyWriter{file, section, true});
}

}  // namespace

CSettings LoadSettings(const IProfile& settingsFile) {
  CSettings s;
  VisitOptionKeys(s, KeyReader{settingsFile, kOptionSection});
  s.portInUse = s.configuredPort;
  ClampToAcceptedRanges(s);

  // The list ends at the first empty value; a save leaves an empty key after the last entry
  // and older entries beyond it in place.
  for (size_t index = 0;; ++index) {
    Text url = settingsFile.ReadString(kLimitUrlSection, LimitUrlKey(index), u"");
    if (url.empty()) break;
    s.limitUrls.push_back(std::move(url));
  }

  s.protectedPassPhrase =
      settingsFile.ReadString(kOptionSection, kPassPhraseKey, u"", kProfileLongValueChars);
  VisitProxyKeys(s.proxy, KeyReader{settingsFile, kProxySection});
  return s;
}

void WriteSettings(const CSettings& settings, IProfile& settingsFile) {
  const KeyWriter option{settingsFile, kOptionSection};
  VisitOptionKeys(settings, option);
  option(kPassPhraseKey, settings.protectedPassPhrase);

  const KeyWriter limitUrl{settingsFile, kLimitUrlSection};
  for (size_t index = 0; index < settings.limitUrls.size(); ++index)
    limitUrl(LimitUrlKey(index), settings.limitUrls[index]);
  limitUrl(LimitUrlKey(settings.limitUrls.size()), Text());

  VisitProxyKeys(settings.proxy, KeyWriter{settingsFile, kProxySection});
}

uint16_t ClampPort(int32_t value) {
  uint32_t port = static_cast<uint32_t>(value);
  return static_cast<uint16_t>(port > kMaxPort ? kDefaultServerPort : port);
}

// Read as the settings are, so that the lock and the server agree on the port even when the
// value is left empty.
uint16_t ReadStartupPort(const IProfile& settingsFile) {
  return ClampPort(settingsFile.ReadInt(kOptionSection, u"port", kDefaultServerPort));
}

Text PortMutexName(uint16_t port) { return kPortMutexPrefix + (u"_" + UnsignedDecimalText(port)); }

MainWindowPosition ReadMainWindowPosition(const IProfile& settingsFile) {
  return ReadPosition<MainWindowPosition>(settingsFile, kWindowSection);
}

void WriteMainWindowPosition(IProfile& settingsFile, const MainWindowPosition& position) {
  WritePosition(settingsFile, kWindowSection, position);
}

TickerPosition ReadTickerPosition(const IProfile& settingsFile) {
  return ReadPosition<TickerPosition>(settingsFile, kTickerSection);
}

void WriteTickerPosition(IProfile& settingsFile, const TickerPosition& position) {
  WritePosition(settingsFile, kTickerSection, position);
}
