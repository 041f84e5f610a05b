// UTF-8 <-> UTF-16 conversion through MultiByteToWideChar and WideCharToMultiByte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32_api.h"

namespace {

struct Conversion {
  const char* what;
  std::string utf8;
  std::u16string utf16;
};

// Pairs that convert to each other exactly.
const std::vector<Conversion> kExact = {
    {"ascii", "registry", u"registry"},
    {"two and three bytes", "\xc3\xa9\xe2\x82\xac", u"\u00e9\u20ac"},
    {"four bytes", "\xf0\x9f\x98\x80!", u"\U0001F600!"},
    {"embedded NUL", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    {"largest code point", "\xf4\x8f\xbf\xbf", u"\U0010FFFF"},
};

std::u16string to_utf16(const std::string& in) {
  int size = MultiByteToWideChar(CP_UTF8, 0, in.data(), int(in.size()), nullptr, 0);
  std::u16string out(size, u'?');
  int written = MultiByteToWideChar(CP_UTF8, 0, in.data(), int(in.size()), out.data(), size);
  EXPECT_EQ(written, size);
  return out;
}

std::string to_utf8(const std::u16string& in) {
  int size =
      WideCharToMultiByte(CP_UTF8, 0, in.data(), int(in.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size, '?');
  int written = WideCharToMultiByte(CP_UTF8, 0, in.data(), int(in.size()), out.data(), size,
                                    nullptr, nullptr);
  EXPECT_EQ(written, size);
  return out;
}

TEST(TextConversion, ConvertsBothWays) {
  for (const Conversion& c : kExact) {
    EXPECT_EQ(to_utf16(c.utf8), c.utf16) << c.what;
    EXPECT_EQ(to_utf8(c.utf16), c.utf8) << c.what;
  }
}

TEST(TextConversion, IllFormedInputBecomesReplacementCharacters) {
  const std::vector<Conversion> from_utf8 = {
      {"lone continuation", "a\x80z", u"a\ufffdz"},
      {"truncated sequence", "\xe2\x82", u"\ufffd"},
      {"truncated then ascii", "\xf0\x9f\x98z", u"\ufffdz"},
      {"overlong", "\xc0\xaf", u"\ufffd\ufffd"},
      {"overlong three bytes", "\xe0\x80\xaf", u"\ufffd\ufffd\ufffd"},
      {"encoded surrogate", "\xed\xa0\x80", u"\ufffd\ufffd\ufffd"},
      {"past U+10FFFF", "\xf4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd"},
      {"invalid bytes", "\xfe\xff", u"\ufffd\ufffd"},
  };
  for (const Conversion& c : from_utf8) EXPECT_EQ(to_utf16(c.utf8), c.utf16) << c.what;
  const std::vector<Conversion> from_utf16 = {
      {"lone high surrogate",
       "a\xef\xbf\xbd"
       "b",
       u"a\xd800"
       u"b"},
      {"lone low surrogate", "\xef\xbf\xbd", u"\xdc00"},
      {"reversed pair", "\xef\xbf\xbd\xef\xbf\xbd", u"\xdc00\xd800"},
  };
  for (const Conversion& c : from_utf16) EXPECT_EQ(to_utf8(c.utf16), c.utf8) << c.what;
}

TEST(TextConversion, SizesAndFailuresAsWin32) {
  // -1 measures up to and including the terminator.
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xc3\xa9t\xc3\xa9", -1, nullptr, 0), 4);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00e9t\u00e9", -1, nullptr, 0, nullptr, nullptr), 6);
  WCHAR wide[8];
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, wide, 8), 3);
  EXPECT_EQ(std::u16string(wide, 3), std::u16string(u"ab\0", 3));
  // A buffer one unit short fails and writes past nothing.
  char narrow[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20ac", 1, narrow, 2, nullptr, nullptr), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, wide, 2), 0);
  // Empty input, bad sizes, other code pages and flags fail.
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "", 0, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", -2, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", 1, wide, -1), 0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 1, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 1, "a", 1, nullptr, 0), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, nullptr, 0, "?", nullptr), 0);
  // A terminator yields one unit.
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "", -1, wide, 8), 1);
  EXPECT_EQ(wide[0], u'\0');
}

}  // namespace
