#include "util/window_win.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr wchar_t kThrowingClass[] = L"pelun_test_throwing";

// Throws while handling one chosen message, as a creation that runs out of memory does.
class ThrowingWindow : public CWindow {
 public:
  explicit ThrowingWindow(UINT throwOn) : throwOn_(throwOn) {}
  bool Create() {
    RegisterWindowClass(::GetModuleHandleW(nullptr), kThrowingClass);
    return CreateWindowOfClass(kThrowingClass, L"", WS_OVERLAPPEDWINDOW, 0, RECT{0, 0, 100, 100}, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr));
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == throwOn_) throw std::runtime_error("creation step failed");
    return DefaultHandling(message, wParam, lParam);
  }

 private:
  UINT throwOn_;
};

}  // namespace

TEST(WindowCreation, ThrowingCreationFailsAndLeavesNoWindow) {
  for (UINT message : {UINT(WM_NCCREATE), UINT(WM_CREATE)}) {
    ThrowingWindow window(message);
    EXPECT_FALSE(window.Create()) << message;
    EXPECT_EQ(window.hwnd(), nullptr) << message;
    EXPECT_EQ(::FindWindowW(kThrowingClass, nullptr), nullptr) << message;
  }
  ThrowingWindow later(WM_USER);  // a throw after creation only fails that message
  ASSERT_TRUE(later.Create());
  EXPECT_EQ(::SendMessageW(later.hwnd(), WM_USER, 0, 0), 0);
  EXPECT_TRUE(::IsWindow(later.hwnd()));
}
