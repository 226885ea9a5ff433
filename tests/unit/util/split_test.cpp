#include "util/split.h"

#include <gtest/gtest.h>

using Fields = std::vector<Text>;

TEST(SplitQuoted, QuotedFieldsKeepTheirDelimitersAndLoseTheirQuotes) {
  EXPECT_EQ(SplitQuoted(u"a \"b c\" \"\" d", u' '), (Fields{u"a", u"b c", u"d"}));
  EXPECT_EQ(SplitQuoted(u"\"x,y\",z", u','), (Fields{u"x,y", u"z"}));
}

TEST(SplitQuoted, DoubledQuotesStayDoubledAndDoNotEndTheField) {
  EXPECT_EQ(SplitQuoted(u"\"say \"\"hi\"\" now\" x", u' '), (Fields{u"say \"\"hi\"\" now", u"x"}));
}

TEST(SplitQuoted, OnlyALeadingQuoteOpensAQuotedField) {
  EXPECT_EQ(SplitQuoted(u"a\"b c\"", u' '), (Fields{u"a\"b", u"c\""}));
  // The text after a closing quote still belongs to the field.
  EXPECT_EQ(SplitQuoted(u"\"a b\"c d", u' '), (Fields{u"\"a b\"c", u"d"}));
}

TEST(SplitQuoted, UnclosedQuoteRunsToTheEnd) {
  EXPECT_EQ(SplitQuoted(u"a \"b c", u' '), (Fields{u"a", u"\"b c"}));
  EXPECT_EQ(SplitQuoted(u"\"", u' '), (Fields{u"\""}));
}

TEST(SplitQuoted, EmptyFieldsAreDropped) {
  EXPECT_EQ(SplitQuoted(u",a,,b,", u','), (Fields{u"a", u"b"}));
  EXPECT_TRUE(SplitQuoted(u"", u',').empty());
  EXPECT_TRUE(SplitQuoted(u"  \"\"  ", u' ').empty());
}

TEST(SplitPlain, KeepsEveryEmptyField) {
  EXPECT_EQ(SplitPlain(u"/a//b/", u'/'), (Fields{u"", u"a", u"", u"b", u""}));
  EXPECT_EQ(SplitPlain(u"", u'/'), (Fields{u""}));
  EXPECT_EQ(SplitPlain(u"abc", u'/'), (Fields{u"abc"}));
}

TEST(SplitQuoted, EmptyFieldsStayWhenAskedFor) {
  EXPECT_EQ(SplitQuoted(u"/a//\"b/c\"/", u'/', EmptyFields::kKeep), (Fields{u"", u"a", u"", u"b/c", u""}));
  EXPECT_EQ(SplitQuoted(u"", u'/', EmptyFields::kKeep), (Fields{u""}));
}
