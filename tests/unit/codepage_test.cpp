#include "address/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace zofrin {
namespace {

std::string AllBytes() {
  std::string bytes(256, '\0');
  for (int i = 0; i < 256; ++i) bytes[i] = static_cast<char>(i);
  return bytes;
}

TEST(CodepageTest, EveryByteSurvivesARoundTrip) {
  const std::string bytes = AllBytes();
  const std::u16string wide = Cp1252ToUtf16(bytes);
  ASSERT_EQ(wide.size(), 256u);
  EXPECT_EQ(Utf16ToCp1252(wide), bytes);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(bytes)), bytes);
}

TEST(CodepageTest, KnownCharacters) {
  EXPECT_EQ(Cp1252ToUtf16("\x80\xE9" "a"), u"\u20AC\u00E9a");
  EXPECT_EQ(Cp1252ToUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
  EXPECT_EQ(Utf16ToCp1252(u"\u0160\u2122"), "\x8A\x99");
}

TEST(CodepageTest, WhatTheCodePageLacksBecomesAQuestionMark) {
  EXPECT_EQ(Utf16ToCp1252(u"a\u0416b"), "a?b");
  EXPECT_EQ(Utf16ToCp1252(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a?b");
  EXPECT_EQ(Utf16ToCp1252(std::u16string(u"a") + char16_t(0xDC00)), "a?");
  EXPECT_EQ(Utf16ToCp1252(u"a\U0001F600b"), "a?b");
  EXPECT_EQ(Utf8ToCp1252("a\xD0\x96" "b"), "a?b");
  EXPECT_EQ(Utf8ToCp1252("a\xF0\x9F\x98\x80" "b"), "a?b");
  EXPECT_EQ(Utf8ToCp1252("a\xC3" "b"), "a?b");  // a lead byte without its follower
}

}  // namespace
}  // namespace zofrin
