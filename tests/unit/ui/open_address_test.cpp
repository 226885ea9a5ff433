#include "ui/open_address.h"

#include <gtest/gtest.h>

TEST(OpenAddress, OnlyWebAddressesPass) {
  const struct {
    const char16_t* text;
    bool openable;
  } cases[] = {
      {u"http://127.0.0.1:4474/new", true},
      {u"https://example.com/feed?x=1&y=2", true},
      {u"HTTP://Example.com/", true},
      {u"\\\\host\\share\\x.exe", false},
      {u"file:///C:/Windows/system32/calc.exe", false},
      {u"C:\\Windows\\system32\\calc.exe", false},
      {u"javascript:alert(1)", false},
      {u"http://example.com/\" --kiosk \"x", false},
      {u"http://example.com/a b", false},
      {u"http://example.com/\tx", false},
      {u"http:relative", false},
      {u"http://", false},
      {u"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsOpenableAddress(c.text), c.openable) << "case " << (&c - cases);
}

TEST(OpenAddress, BrowserArgumentsQuoteEachAddressOrRefuseAll) {
  EXPECT_EQ(BrowserArguments(u"http://127.0.0.1:4474/new?1 http://127.0.0.1:4474/new?2"),
            u"\"http://127.0.0.1:4474/new?1\" \"http://127.0.0.1:4474/new?2\"");
  EXPECT_EQ(BrowserArguments(u"http://a/"), u"\"http://a/\"");
  EXPECT_FALSE(BrowserArguments(u"http://a/ file:///c:/x.exe"));
  EXPECT_FALSE(BrowserArguments(u"http://a/  http://b/")) << "an empty field between two spaces";
  EXPECT_FALSE(BrowserArguments(u""));
  EXPECT_EQ(BrowserCommandLine(u" C:\\Program Files\\Web\\web.exe ", u"\"http://a/\""),
            u"\"C:\\Program Files\\Web\\web.exe\" \"http://a/\"");
  EXPECT_EQ(BrowserCommandLine(u"\"C:\\web.exe\"", u"\"http://a/\""), u"\"C:\\web.exe\" \"http://a/\"");
}
