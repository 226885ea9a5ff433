// Names and numbers that cross process boundaries between pelun, pelunband and setup.
#pragma once

#include <cstdint>

inline constexpr char16_t kMainWindowClass[] = u"p_e_l_u_n_window_class";
inline constexpr char16_t kMainWindowTitle[] = u"pelun設定";
inline constexpr char16_t kApplicationTitle[] = u"pelun";
inline constexpr char16_t kBandCatchWindowClass[] = u"p_e_l_u_n_catch_window_class";

inline constexpr char16_t kInstanceMutexName[] = u"pelun_exe_mutex";
inline constexpr char16_t kPortMutexPrefix[] = u"Global\\pelun_exe_global_mutex";

// Registered window messages: requests to the main window, and its news broadcast to the bands.
inline constexpr char16_t kRequestMessageName[] = u"PELUN_TOOLBAR_MESSAGE1_V2";
inline constexpr char16_t kNewsMessageName[] = u"PELUN_TOOLBAR_MESSAGE2_V1";

// Sub-commands (wParam) of the request message.
enum class RequestCommand : uint32_t {
  kNewArticlesAddress = 10,  // answers a block: the new-articles page address
  kTopLevelItems = 11,       // answers a block: four strings per top-level folder, then NUL
  kLastPageAddress = 12,     // answers a block: the page shown last
  kHasNews = 20,             // answers non-zero when some folder has news
  kForwardCommandLine = 30,  // lParam: a block that now belongs to the receiver
  kOpenMainWindow = 40,
  kCheckAll = 41,
};
// The band's hidden window that receives the news broadcast.
inline constexpr char16_t kBandCatchWindowTitle[] = u"pelun_toolbar";

inline constexpr char16_t kVersionText[] = u"1.06";
inline constexpr uint16_t kDefaultServerPort = 4474;
