// Parsing and writing Wine's hive text, checked against files Wine wrote.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hive.h"
#include "scratch_prefix.h"

using registry_unix::Hive;
using registry_unix::HiveValue;

namespace {

std::string bytes_of(std::u16string text) {
  std::string data;
  for (char16_t unit : text) {
    data.push_back(char(unit & 0xFF));
    data.push_back(char(unit >> 8));
  }
  return data;
}

std::string value_label(const std::u16string& name) {
  return std::string(name.begin(), name.end());
}

const char* const kFixtures[] = {"wine_user.reg", "wine_machine.reg"};

TEST(HiveFormat, RewritesWineFilesByteForByte) {
  for (const char* name : kFixtures) {
    std::string text = fixture_text(name);
    auto hive = Hive::parse(text);
    EXPECT_TRUE(hive->well_formed()) << name;
    EXPECT_EQ(hive->text(), text) << name;
  }
}

TEST(HiveFormat, FormatsEveryValueAsWineWroteIt) {
  // Each value entry Wine wrote, read and written again, gives Wine's text back: escapes,
  // typed forms and the wrapping of long hex data.
  for (const char* name : kFixtures) {
    std::string text = fixture_text(name);
    size_t pos = 0;
    while (pos < text.size()) {
      size_t start = pos;
      if (text[pos] == '"' || text[pos] == '@') {
        HiveValue value;
        ASSERT_TRUE(registry_unix::parse_value(text, pos, value)) << text.substr(start, 80);
        EXPECT_EQ(registry_unix::format_value(value), text.substr(start, pos - start));
      } else {
        pos = text.find('\n', pos) + 1;
      }
    }
  }
}

TEST(HiveFormat, ReadsTheDataOfEachForm) {
  struct Case {
    std::u16string key;  // folded
    std::u16string value;
    DWORD type;
    std::string data;
  };
  const std::string z2 = std::string("\0\0", 2);
  const std::vector<Case> cases = {
      {u"SOFTWARE\\ZTEST", u"", REG_SZ, bytes_of(u"default") + z2},
      {u"SOFTWARE\\ZTEST", u"dw", REG_DWORD, "\x78\x56\x34\x12"},
      {u"SOFTWARE\\ZTEST", u"qw", REG_QWORD, "\xf0\xde\xbc\x9a\x78\x56\x34\x12"},
      {u"SOFTWARE\\ZTEST", u"dwbe", REG_DWORD_BIG_ENDIAN, std::string("\x01\0\0\0", 4)},
      {u"SOFTWARE\\ZTEST", u"emptybin", REG_BINARY, ""},
      {u"SOFTWARE\\ZTEST", u"exp", REG_EXPAND_SZ, bytes_of(u"%PATH%;x") + z2},
      {u"SOFTWARE\\ZTEST", u"multi", REG_MULTI_SZ,
       bytes_of(std::u16string(u"one\0two\0three\0", 14)) + z2},
      {u"SOFTWARE\\ZTEST", u"name\"with\\back", REG_SZ, bytes_of(u"x") + z2},
      {u"SOFTWARE\\ZTEST", u"sz", REG_SZ,
       bytes_of(u"a\"b\\c\ttab \u00e9\u20ac\U0001F600 end") + z2},
      {u"SOFTWARE\\ZIMP", u"ctl", REG_SZ,
       bytes_of(u"\x01\x7f\n\r\t\u00e9a\u00e9g \u00e91\ufeff") + std::string("\x00\xd8", 2) +
           bytes_of(u"A") + z2},
      {u"SOFTWARE\\ZIMP", u"szodd", REG_SZ, std::string("A\0\0\0\0", 5)},
      {u"SOFTWARE\\ZIMP", u"typebig", 0x12345678, "\x01"},
      {u"SOFTWARE\\ZIMP", u"\u00c9", REG_SZ, bytes_of(u"\u00e9") + z2},
      {u"SOFTWARE\\ZIMP2", u"c", REG_SZ,
       bytes_of(std::u16string(u"\x01"
                               u"5\x1f"
                               u"8\0"
                               u"1\b\v\f\a\x1b"
                               u"7\x1b",
                               13)) +
           z2},
      {u"SOFTWARE\\ZIMP2", u"m", REG_MULTI_SZ,
       bytes_of(std::u16string(u"o\0"
                               u"2\0",
                               4)) +
           z2},
      {u"SOFTWARE\\ZIMP\\BR]ACKET[X\\\u00c9 \u00c9", u"a", REG_SZ, bytes_of(u"[x]") + z2},
  };
  auto hive = Hive::parse(fixture_text("wine_user.reg"));
  for (const Case& c : cases) {
    auto* key = hive->find(c.key);
    ASSERT_NE(key, nullptr);
    const HiveValue* value = key->find_value(c.value);
    ASSERT_NE(value, nullptr) << value_label(c.value);
    EXPECT_EQ(value->type, c.type) << value_label(c.value);
    EXPECT_EQ(value->data, c.data) << value_label(c.value);
  }
}

// 2026-12-11 12:00:00 UTC as a FILETIME; its key line stamp is 1796990400.
constexpr unsigned long long kNow = 0x1dd896725cfe000ull;

TEST(HiveFormat, AChangeRewritesOnlyItsKey) {
  std::string before = fixture_text("wine_user.reg");
  auto hive = Hive::parse(before);
  auto* key = hive->find(u"SOFTWARE\\ZIMP2");
  ASSERT_NE(key, nullptr);
  key->set_value({u"n", REG_DWORD, std::string("\x01\0\0\0", 4)}, kNow);
  key->set_value({u"S", REG_SZ, bytes_of(u"new") + std::string(2, '\0')}, kNow);
  const std::string old_block =
      "[Software\\\\ZImp2] 1796992726\n"
      "#time=1dd896c90889c70\n"
      "\"\\\\\\\\\"=\"x\"\n"
      "\"c\"=\"\\0015\\378\\0001\\b\\v\\f\\a\\e7\\e\"\n"
      "\"m\"=str(7):\"o\\0002\\0\"\n"
      "\"s\"=\"a\\\\b\\\"c\\\\\\\\d\"\n"
      "\"v[x]y\"=\"a\"\n";
  // A new value goes in name order; a changed one keeps the case it was written in.
  const std::string new_block =
      "[Software\\\\ZImp2] 1796990400\n"
      "#time=1dd896725cfe000\n"
      "\"\\\\\\\\\"=\"x\"\n"
      "\"c\"=\"\\0015\\378\\0001\\b\\v\\f\\a\\e7\\e\"\n"
      "\"m\"=str(7):\"o\\0002\\0\"\n"
      "\"n\"=dword:00000001\n"
      "\"s\"=\"new\"\n"
      "\"v[x]y\"=\"a\"\n";
  size_t at = before.find(old_block);
  ASSERT_NE(at, std::string::npos);
  std::string expected = before;
  expected.replace(at, old_block.size(), new_block);
  EXPECT_EQ(hive->text(), expected);
}

TEST(HiveFormat, HexDataContinuedOntoABlankLineKeepsItAfterAChange) {
  // The blank line ends the data; once the value after it is deleted, the rewritten key must
  // still hold that line, or its text ends in a dangling backslash and no longer parses.
  const std::string text =
      "WINE REGISTRY Version 2\n\n[K] 1\n#time=1\n\"hex\"=hex:01,\\\n\n"
      "\"next\"=dword:00000001\n\n[L] 1\n";
  auto hive = Hive::parse(text);
  ASSERT_TRUE(hive->well_formed());
  ASSERT_TRUE(hive->find(u"K")->delete_value(u"next", kNow));
  auto rewritten = Hive::parse(hive->text());
  EXPECT_TRUE(rewritten->well_formed()) << hive->text();
  const HiveValue* value = rewritten->find(u"K")->find_value(u"hex");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->data, "\x01");
  EXPECT_NE(rewritten->find(u"L"), nullptr);
}

TEST(HiveFormat, NewKeysGoWhereWineWritesThem) {
  struct Case {
    std::u16string path;
    std::string written_as;  // the key line's name
    std::string next;        // the key line that follows it
  };
  const std::vector<Case> cases = {
      {u"Software\\A", "Software\\\\A", "[Software\\\\Wine\\\\Debug]"},
      {u"Software\\ZImp\\_u", "Software\\\\ZImp\\\\_u", "[Software\\\\ZImp\\\\ab]"},
      {u"Software\\ZImp\\ab d", "Software\\\\ZImp\\\\ab d", "[Software\\\\ZImp\\\\abc]"},
      {u"SOFTWARE\\zimp\\ZZ\\Deeper", "Software\\\\ZImp\\\\zz\\\\Deeper",
       "[Software\\\\ZImp\\\\\\x00c9a]"},
      {u"Software\\ZImp\\\u00e9aa", "Software\\\\ZImp\\\\\\x00e9aa",
       "[Software\\\\ZImp\\\\\\x00e9b]"},
      {u"Software\\ZTest\\x", "Software\\\\ZTest\\\\x", "[Software\\\\ZTest x]"},
      {u"Software\\ZTest_y", "Software\\\\ZTest_y", ""},
  };
  for (const Case& c : cases) {
    auto hive = Hive::parse(fixture_text("wine_user.reg"));
    hive->obtain(c.path, kNow);
    std::string text = hive->text();
    std::string line = "[" + c.written_as + "] ";
    size_t at = text.find(line);
    ASSERT_NE(at, std::string::npos) << c.written_as;
    std::string expected_block = "\n" + line + "1796990400\n#time=1dd896725cfe000\n";
    if (c.next.empty()) {
      EXPECT_EQ(text.substr(at - 1), expected_block) << c.written_as;
    } else {
      EXPECT_EQ(text.substr(at - 1, expected_block.size() + 1 + c.next.size()),
                expected_block + "\n" + c.next)
          << c.written_as;
    }
  }
}

TEST(HiveFormat, HivesItDoesNotUnderstandWholeAreNotWritable) {
  const std::string good = "\n[Good] 1\n#time=1\n\"v\"=\"ok\"\n";
  const std::string header =
      "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n";
  const std::vector<std::string> texts = {
      "WINE REGISTRY Version 1\n" + good,
      header + "stray words\n" + good,
      header + "\n[Unterminated\\]\n" + good,
      header + "\n[Stamp] x1\n" + good,
      header + good + "\"bad\"=zzz\n",
      header + good + "\"odd\"=hex:1,abc\n",
      header + good + "\"junk\"=hex:01,0g\n",
      header + good + "\"open\"=\"no end\n",
      header + good + "\"esc\"=\"\\",
      header + good + "\"cut\"=hex:01,\\\n",
      header + good + "\"dw\"=dword:123456789\n",
      header + good + std::string("\x01\xff\0binary\n", 10),
      header + good + "\"truncated\"=\"x\"",
  };
  for (const std::string& text : texts) {
    auto hive = Hive::parse(text);
    EXPECT_FALSE(hive->well_formed()) << text;
    auto* key = hive->find(u"GOOD");
    if (text.find("Version 2") != std::string::npos &&
        text.find("[Unterminated") == std::string::npos && text.find("x1") == std::string::npos) {
      ASSERT_NE(key, nullptr) << text;
      EXPECT_NE(key->find_value(u"v"), nullptr) << text;
    }
  }
}

TEST(HiveFormat, SurvivesMutatedFiles) {
  // Deterministic damage to a Wine file: bytes flipped, dropped, doubled, the file cut. No
  // input may crash or hang; an input that still reads whole must write back unchanged.
  const std::string original = fixture_text("wine_user.reg");
  unsigned state = 12345;
  auto next = [&state] { return state = state * 1103515245u + 12345u, state >> 8; };
  const char noise[] = "\\\"[]@=,:()\n x0";
  for (int round = 0; round < 3000; ++round) {
    std::string text = original;
    for (int edits = 1 + next() % 4; edits > 0 && !text.empty(); --edits) {
      size_t at = next() % text.size();
      switch (next() % 4) {
        case 0:
          text[at] = noise[next() % (sizeof noise - 1)];
          break;
        case 1:
          text.erase(at, 1 + next() % 8);
          break;
        case 2:
          text.insert(at, text.substr(at, 1 + next() % 40));
          break;
        default:
          text.resize(at);
          break;
      }
    }
    if (text.empty()) continue;
    auto hive = Hive::parse(text);
    bool whole = hive->well_formed();
    for (const auto& path : {u"", u"SOFTWARE\\ZTEST", u"SOFTWARE\\ZIMP", u"SOFTWARE\\ZIMP2"}) {
      if (auto* key = hive->find(path)) {
        for (size_t i = 0; i < key->value_count(); ++i) ASSERT_NE(key->value_at(i), nullptr);
      }
    }
    if (whole) {
      ASSERT_EQ(hive->text(), text) << round;
    }
  }
}

}  // namespace
