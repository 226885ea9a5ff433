// The program runs with sockets and OLE initialised on its window thread; so do the tests of
// its glue.
#include <winsock2.h>
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

namespace {

class PlatformEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    WSADATA data{};
    ASSERT_EQ(::WSAStartup(MAKEWORD(1, 1), &data), 0);
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
  }
  void TearDown() override {
    ::OleUninitialize();
    ::WSACleanup();
  }
};

const auto* const kPlatformEnvironment = ::testing::AddGlobalTestEnvironment(new PlatformEnvironment);

}  // namespace
