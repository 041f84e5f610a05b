// This layer and Wine on one prefix: each reads what the other writes, hives wineboot made are
// kept byte for byte, and no write is made while a wineserver holds the registry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hive.h"
#include "win32_api.h"
#include "wine_prefix_fixture.h"

namespace {

const BYTE* bytes(const void* data) { return static_cast<const BYTE*>(data); }

// The text of the one key block that differs between two versions of a hive, each side.
std::pair<std::string, std::string> differing_blocks(const std::string& a, const std::string& b) {
  size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  size_t tail = 0;
  while (tail < a.size() - head && tail < b.size() - head &&
         a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
    ++tail;
  }
  // Widen to whole blocks: from the key line before the change to the blank line after it.
  size_t start = a.rfind("\n[", head);
  size_t a_end = a.find("\n\n", a.size() - tail - 1);
  size_t b_end = b.find("\n\n", b.size() - tail - 1);
  return {a.substr(start, a_end - start), b.substr(start, b_end - start)};
}

TEST_F(WinePrefixTest, HivesWinebootMadeRewriteByteForByte) {
  for (const char* name : {"system.reg", "user.reg"}) {
    std::string text = read_text(hive(name));
    auto parsed = registry_unix::Hive::parse(text);
    EXPECT_TRUE(parsed->well_formed()) << name;
    EXPECT_EQ(parsed->text(), text) << name;
    size_t pos = 0, values = 0;
    while (pos < text.size()) {
      size_t start = pos;
      if (text[pos] == '"' || text[pos] == '@') {
        registry_unix::HiveValue value;
        ASSERT_TRUE(registry_unix::parse_value(text, pos, value));
        ASSERT_EQ(registry_unix::format_value(value), text.substr(start, pos - start));
        ++values;
      } else {
        pos = text.find('\n', pos) + 1;
      }
    }
    EXPECT_GT(values, 10u) << name;
  }
}

TEST_F(WinePrefixTest, OneChangeAltersOnlyItsKey) {
  std::string before = read_text(hive("system.reg"));
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows NT\\CurrentVersion", 0,
                          KEY_SET_VALUE, &key),
            ERROR_SUCCESS);
  const char16_t text[] = u"Linux layer";
  ASSERT_EQ(RegSetValueExW(key, u"RegisteredOwner", 0, REG_SZ, bytes(text), sizeof text),
            ERROR_SUCCESS);
  RegCloseKey(key);
  std::string after = read_text(hive("system.reg"));
  auto [old_block, new_block] = differing_blocks(before, after);
  const std::string key_line = "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] ";
  EXPECT_EQ(old_block.rfind(key_line, 0), 0u) << old_block;
  EXPECT_EQ(new_block.rfind(key_line, 0), 0u) << new_block;
  EXPECT_NE(new_block.find("\"RegisteredOwner\"=\"Linux layer\"\n"), std::string::npos);
  EXPECT_EQ(old_block.find("Linux layer"), std::string::npos);
  EXPECT_NE(
      wine_reg("query 'HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion' /v RegisteredOwner")
          .find("Linux layer"),
      std::string::npos);
}

TEST_F(WinePrefixTest, WineReadsWhatThisLayerWrites) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\LayerWrote\\Values", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const char16_t text[] = u"plain \"quoted\" back\\slash";
  const char16_t expand[] = u"%SystemRoot%\\x";
  const char16_t multi[] = u"one\0two\0";
  DWORD number = 0xdeadbeef;
  std::vector<BYTE> blob(100);
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = BYTE(i);
  ASSERT_EQ(RegSetValueExW(key, u"Text", 0, REG_SZ, bytes(text), sizeof text), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key, u"Expand", 0, REG_EXPAND_SZ, bytes(expand), sizeof expand), 0);
  ASSERT_EQ(RegSetValueExW(key, u"Multi", 0, REG_MULTI_SZ, bytes(multi), sizeof multi), 0);
  ASSERT_EQ(RegSetValueExW(key, u"Number", 0, REG_DWORD, bytes(&number), 4), 0);
  ASSERT_EQ(RegSetValueExW(key, u"Blob", 0, REG_BINARY, blob.data(), DWORD(blob.size())), 0);
  ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, bytes(u"dflt"), 10), 0);
  RegCloseKey(key);
  std::string output = wine_reg("query 'HKCU\\Software\\LayerWrote\\Values'");
  std::string hex;
  for (BYTE b : blob) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", b);
    hex += digits;
  }
  for (const std::string& line :
       {std::string("Text    REG_SZ    plain \"quoted\" back\\slash"),
        std::string("Expand    REG_EXPAND_SZ    %SystemRoot%\\x"),
        std::string("Multi    REG_MULTI_SZ    one\\0two"),
        std::string("Number    REG_DWORD    0xdeadbeef"), "Blob    REG_BINARY    " + hex,
        std::string("(Default)    REG_SZ    dflt")}) {
    EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
  }
}

TEST_F(WinePrefixTest, ThisLayerReadsWhatWineWrites) {
  const std::string key = "'HKCU\\Software\\WineWrote'";
  wine_reg("add " + key + " /v Text /t REG_SZ /d \"tab\tand \xc3\xa9\" /f");
  wine_reg("add " + key + " /v Number /t REG_DWORD /d 4660 /f");
  wine_reg("add " + key + " /v Big /t REG_QWORD /d 0x1122334455667788 /f");
  wine_reg("add " + key + " /v Blob /t REG_BINARY /d 00ff10 /f");
  wine_reg("add " + key + " /v Multi /t REG_MULTI_SZ /d 'a\\0b' /f");
  struct Case {
    const WCHAR* name;
    DWORD type;
    std::string data;
  };
  const std::vector<Case> cases = {
      {u"Text", REG_SZ, std::string(reinterpret_cast<const char*>(u"tab\tand \u00e9"), 20)},
      {u"Number", REG_DWORD, std::string("\x34\x12\0\0", 4)},
      {u"Big", REG_QWORD, "\x88\x77\x66\x55\x44\x33\x22\x11"},
      {u"Blob", REG_BINARY, std::string("\x00\xff\x10", 3)},
      {u"Multi", REG_MULTI_SZ, std::string(reinterpret_cast<const char*>(u"a\0b\0"), 10)},
  };
  HKEY handle;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"software\\winewrote", 0, KEY_QUERY_VALUE, &handle),
            ERROR_SUCCESS);
  for (const Case& c : cases) {
    BYTE buffer[64];
    DWORD size = sizeof buffer, type = 0;
    ASSERT_EQ(RegQueryValueExW(handle, c.name, nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), c.data);
  }
  RegCloseKey(handle);
}

TEST_F(WinePrefixTest, NoWriteWhileAWineserverRuns) {
  run_command("wineserver -p </dev/null >/dev/null");
  std::string before = read_text(hive("user.reg"));
  HKEY key;
  ASSERT_EQ(
      RegOpenKeyExW(HKEY_CURRENT_USER, u"Environment", 0, KEY_SET_VALUE | KEY_QUERY_VALUE, &key),
      ERROR_SUCCESS);
  const char16_t text[] = u"value";
  EXPECT_EQ(RegSetValueExW(key, u"Refused", 0, REG_SZ, bytes(text), sizeof text),
            ERROR_SHARING_VIOLATION);
  HKEY created;
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\WhileServed", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &created, nullptr),
            ERROR_SHARING_VIOLATION);
  EXPECT_EQ(read_text(hive("user.reg")), before);
  // Reads go on from the files.
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(key, u"TEMP", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  // Once the server has gone, Wine's own later change and this layer's write are both kept.
  run_command("wineserver -k; wineserver -w");
  wine_reg("add 'HKCU\\Environment' /v FromWine /d w /f");
  EXPECT_EQ(RegSetValueExW(key, u"Accepted", 0, REG_SZ, bytes(text), sizeof text), ERROR_SUCCESS);
  RegCloseKey(key);
  std::string output = wine_reg("query 'HKCU\\Environment'");
  EXPECT_NE(output.find("FromWine"), std::string::npos) << output;
  EXPECT_NE(output.find("Accepted"), std::string::npos) << output;
  EXPECT_EQ(output.find("Refused"), std::string::npos) << output;
}

}  // namespace
