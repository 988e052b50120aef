// Decimal conversions shared by the settings table and the settings store.
#include <gtest/gtest.h>
#include <string>
#include "common/text16.h"

static std::u16string decimal(int64_t v) {
  char16_t buf[24];
  text16_from_int(buf, 24, v);
  return buf;
}

TEST(Decimal, FormatsSignWithoutPlusOrLeadingZeros) {
  EXPECT_EQ(decimal(0), u"0");
  EXPECT_EQ(decimal(-16), u"-16");
  EXPECT_EQ(decimal(16777215), u"16777215");
  EXPECT_EQ(decimal(-2147483648LL), u"-2147483648");
  EXPECT_EQ(decimal(4294967295LL), u"4294967295");
}

TEST(Decimal, ParsesLikeWtoi) {
  EXPECT_EQ(text16_to_int(u"  -16abc"), -16);
  EXPECT_EQ(text16_to_int(u"+7"), 7);
  EXPECT_EQ(text16_to_int(u""), 0);
  EXPECT_EQ(text16_to_int(u"x12"), 0);
  EXPECT_EQ(text16_to_int(u"99999999999999999999"), 2147483647);
  EXPECT_EQ(text16_to_int(u"-99999999999999999999"), -2147483647 - 1);
}

TEST(Text16, CopyAndAppendCutAtCapacity) {
  char16_t buf[5];
  EXPECT_EQ(text16_copy(buf, 5, u"abcdefg"), 4u);
  EXPECT_EQ(std::u16string(buf), u"abcd");
  text16_copy(buf, 5, u"ab");
  EXPECT_EQ(text16_append(buf, 5, u"cdef"), 4u);
  EXPECT_EQ(std::u16string(buf), u"abcd");
}
