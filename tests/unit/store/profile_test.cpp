#include "store/profile.h"

#include <gtest/gtest.h>

#include "tests/unit/store/memory_profile.h"

TEST(ProfileRead, DefaultOnlyForMissingKeysInTexts) {
  MemoryProfile file;
  file.Set(u"S", u"empty", u"");
  EXPECT_EQ(file.ReadString(u"S", u"missing", u"fallback"), u"fallback");
  EXPECT_EQ(file.ReadString(u"Other", u"empty", u"fallback"), u"fallback");
  EXPECT_EQ(file.ReadString(u"S", u"empty", u"fallback"), u"");
  EXPECT_EQ(file.ReadString(u"S", u"missing", u"abcdef", 3), u"abc");
}

TEST(ProfileRead, IntegersTakeTheLeadingDecimalNumber) {
  MemoryProfile file;
  file.Set(u"S", u"n", u" -42px");
  file.Set(u"S", u"word", u"abc");
  file.Set(u"S", u"blank", u"  ");
  file.Set(u"S", u"big", u"4294967295");
  EXPECT_EQ(file.ReadInt(u"S", u"n", 7), -42);
  EXPECT_EQ(file.ReadInt(u"S", u"word", 7), 0);
  EXPECT_EQ(file.ReadInt(u"S", u"blank", 7), 7);
  EXPECT_EQ(file.ReadInt(u"S", u"missing", 7), 7);
  EXPECT_EQ(file.ReadInt(u"S", u"big", 7), -1);
}

TEST(ProfileValueEncoding, QuotesOnlyWhatTheReaderWouldStrip) {
  EXPECT_EQ(EncodeProfileValue(u""), u"");
  EXPECT_EQ(EncodeProfileValue(u"C:\\a b\\c.exe"), u"C:\\a b\\c.exe");
  EXPECT_EQ(EncodeProfileValue(u"\"C:\\a b\\c.exe\" -x"), u"\"C:\\a b\\c.exe\" -x");
  EXPECT_EQ(EncodeProfileValue(u"\"quoted\""), u"\"\"quoted\"\"");
  EXPECT_EQ(EncodeProfileValue(u"'single'"), u"\"'single'\"");
  EXPECT_EQ(EncodeProfileValue(u"\""), u"\"");
  EXPECT_EQ(EncodeProfileValue(u" lead"), u"\" lead\"");
  EXPECT_EQ(EncodeProfileValue(u"trail\t"), u"\"trail\t\"");
  EXPECT_EQ(EncodeProfileValue(u"one\r\ntwo"), u"one  two");
  EXPECT_EQ(EncodeProfileValue(u"end\n"), u"\"end \"");
}
