#include "util/window_win.h"

#include "util/unique_handle_win.h"

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

namespace {

// A top-level window on a thread of its own, which either keeps taking messages or stops once
// the window is up, as a hung program does.
class WindowThread {
 public:
  explicit WindowThread(bool hang) : hang_(hang) {
    thread_.reset(::CreateThread(nullptr, 0, &WindowThread::Run, this, 0, nullptr));
    ::WaitForSingleObject(ready_.get(), 10000);
  }
  ~WindowThread() {
    ::SetEvent(release_.get());
    ::WaitForSingleObject(thread_.get(), 10000);
  }
  HWND window() const { return window_; }

 private:
  static DWORD WINAPI Run(void* parameter) {
    auto* self = static_cast<WindowThread*>(parameter);
    self->window_ = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                      nullptr, nullptr);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::SetEvent(self->ready_.get());
    HANDLE release = self->release_.get();
    if (self->hang_) {
      ::WaitForSingleObject(release, INFINITE);
    } else {
      while (::MsgWaitForMultipleObjects(1, &release, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
    ::DestroyWindow(self->window_);
    return 0;
  }

  bool hang_;
  unique_handle release_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  unique_handle ready_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  unique_handle thread_;
  HWND window_ = nullptr;
};

}  // namespace

// Joining input with a hung program hangs the caller on Windows, not under Wine, so the decision
// is what is checked here: a program that takes messages is joined, a hung one is left alone.
TEST(BringToFront, JoinsOnlyAProgramThatTakesMessages) {
  WindowThread live(false);
  WindowThread hung(true);
  ASSERT_NE(live.window(), nullptr);
  ASSERT_NE(hung.window(), nullptr);
  EXPECT_TRUE(TakesMessagesPromptly(live.window()));
  EXPECT_FALSE(TakesMessagesPromptly(hung.window()));
}
