// The program runs with OLE initialised on its window thread; so do the tests of its glue.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

namespace {

class OleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
  void TearDown() override { ::OleUninitialize(); }
};

const auto* const kOleEnvironment = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

}  // namespace
