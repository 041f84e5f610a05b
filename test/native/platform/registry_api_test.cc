// The registry calls' contract over a scratch prefix: sizes, statuses, access, case, defaults.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "registry/root_prefixes.h"
#include "scratch_prefix.h"
#include "win32_api.h"

namespace {

const BYTE* bytes(const void* data) { return static_cast<const BYTE*>(data); }

DWORD size_of(const std::u16string& text) { return DWORD((text.size() + 1) * sizeof(WCHAR)); }

HKEY create(HKEY root, const WCHAR* path, REGSAM access = KEY_SET_VALUE | KEY_QUERY_VALUE) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, access, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  return key;
}

void set_string(HKEY key, const WCHAR* name, const std::u16string& text) {
  ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, bytes(text.c_str()), size_of(text)),
            ERROR_SUCCESS);
}

std::u16string query_string(HKEY root, const WCHAR* path, const WCHAR* name) {
  HKEY key;
  if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return u"<no key>";
  WCHAR buffer[256] = {};
  DWORD size = sizeof buffer;
  LONG status =
      RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return u"<no value>";
  return std::u16string(buffer, size / sizeof(WCHAR) - 1);
}

class RegistryApi : public ::testing::Test {
 protected:
  ScratchPrefix prefix;
};

TEST_F(RegistryApi, WritesAHiveWineCanRead) {
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\Test\\Deep");
  DWORD number = 0x12345678;
  ASSERT_EQ(RegSetValueExW(key, u"Count", 0, REG_DWORD, bytes(&number), 4), ERROR_SUCCESS);
  set_string(key, nullptr, u"default");
  ASSERT_EQ(RegSetValueExW(key, u"Blob", 0, REG_BINARY, bytes("\x01\x02"), 2), ERROR_SUCCESS);
  RegCloseKey(key);
  std::string text = read_text(prefix.user_hive());
  const std::string header =
      "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
      "#arch=win64\n\n[Software\\\\Test\\\\Deep] ";
  EXPECT_EQ(text.substr(0, header.size()), header);
  const std::string values = "\n@=\"default\"\n\"Blob\"=hex:01,02\n\"Count\"=dword:12345678\n";
  EXPECT_EQ(text.substr(text.size() - values.size()), values);
  EXPECT_NE(text.find("\n#time="), std::string::npos);
}

TEST_F(RegistryApi, OpeningNeverCreates) {
  HKEY key;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Missing", 0, KEY_QUERY_VALUE, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  struct stat info;
  EXPECT_NE(stat(prefix.user_hive().c_str(), &info), 0);
  RegCloseKey(create(HKEY_CURRENT_USER, u"Software\\Made"));
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Made\\Not", 0, KEY_QUERY_VALUE, &key),
            ERROR_FILE_NOT_FOUND);
  // Intermediate keys exist once a key below them does.
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegistryApi, QuerySizesAsWin32) {
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\Sizes");
  set_string(key, u"Text", u"abc");  // 8 bytes with the terminator
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(type, REG_SZ);
  BYTE buffer[16];
  std::memset(buffer, '#', sizeof buffer);
  size = 7;
  EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u);
  size = 8;
  EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::memcmp(buffer, u"abc", 8), 0);
  EXPECT_EQ(buffer[8], '#');
  EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, nullptr, buffer, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExW(key, u"Other", nullptr, nullptr, buffer, &size), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(RegistryApi, AccessRightsAreEnforced) {
  RegCloseKey(create(HKEY_CURRENT_USER, u"Software\\Rights"));
  HKEY reader, writer;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Rights", 0, KEY_QUERY_VALUE, &reader),
            ERROR_SUCCESS);
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Rights", 0,
                          KEY_WOW64_64KEY | KEY_SET_VALUE, &writer),
            ERROR_SUCCESS);
  DWORD size = 4, values;
  WCHAR name[8];
  DWORD name_length = 8;
  EXPECT_EQ(RegSetValueExW(reader, u"v", 0, REG_DWORD, bytes("\0\0\0\0"), 4), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueW(reader, u"v"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegSetValueExW(writer, u"v", 0, REG_DWORD, bytes("\0\0\0\0"), 4), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(writer, u"v", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegEnumValueW(writer, 0, name, &name_length, nullptr, nullptr, nullptr, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegQueryInfoKeyW(writer, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegQueryValueExW(reader, u"v", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  RegCloseKey(reader);
  RegCloseKey(writer);
}

TEST_F(RegistryApi, BadHandlesAreRejected) {
  HKEY closed = create(HKEY_CURRENT_USER, u"Software\\Handles");
  ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  for (HKEY bad : {closed, reinterpret_cast<HKEY>(std::uintptr_t(0x1234)), HKEY(nullptr)}) {
    HKEY out;
    DWORD size = 0, values = 0, name_length = 4;
    WCHAR name[4];
    EXPECT_EQ(RegOpenKeyExW(bad, u"x", 0, KEY_READ, &out), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyExW(bad, u"x", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &out, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExW(bad, u"x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExW(bad, u"x", 0, REG_BINARY, nullptr, 0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegDeleteValueW(bad, u"x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegEnumValueW(bad, 0, name, &name_length, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryInfoKeyW(bad, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(bad), ERROR_INVALID_HANDLE);
  }
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

TEST_F(RegistryApi, NamesMatchWithoutRegardToCaseAndKeepTheirFirstCase) {
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\Caf\u00e9");
  set_string(key, u"\u00c9t\u00e9", u"one");
  RegCloseKey(key);
  EXPECT_EQ(query_string(HKEY_CURRENT_USER, u"SOFTWARE\\CAF\u00c9", u"\u00e9T\u00c9"), u"one");
  key = create(HKEY_CURRENT_USER, u"software\\caf\u00e9\\New");
  set_string(key, u"\u00e9t\u00e9", u"two");
  RegCloseKey(key);
  std::string text = read_text(prefix.user_hive());
  EXPECT_NE(text.find("[Software\\\\Caf\\xe9\\\\New]"), std::string::npos) << text;
  EXPECT_NE(text.find("\"\\xc9t\\xe9\"=\"one\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"\\xe9t\\xe9\"=\"two\""), std::string::npos) << text;
}

TEST_F(RegistryApi, EmptyNamesMeanTheKeyAndItsDefaultValue) {
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\Defaults");
  set_string(key, u"", u"first");
  set_string(key, nullptr, u"second");
  RegCloseKey(key);
  EXPECT_EQ(query_string(HKEY_CURRENT_USER, u"Software\\Defaults", nullptr), u"second");
  EXPECT_EQ(query_string(HKEY_CURRENT_USER, u"Software\\Defaults", u""), u"second");
  EXPECT_NE(read_text(prefix.user_hive()).find("\n@=\"second\"\n"), std::string::npos);
  HKEY root;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"", 0, KEY_SET_VALUE, &root), ERROR_SUCCESS);
  set_string(root, u"AtRoot", u"r");
  RegCloseKey(root);
  EXPECT_EQ(query_string(HKEY_CURRENT_USER, nullptr, u"AtRoot"), u"r");
  EXPECT_NE(read_text(prefix.user_hive()).find("\n[] "), std::string::npos);
}

TEST_F(RegistryApi, ClassesRootIsTheMachinesSoftwareClasses) {
  HKEY key = create(HKEY_CLASSES_ROOT, u".test");
  set_string(key, nullptr, u"TestFile");
  RegCloseKey(key);
  EXPECT_EQ(query_string(HKEY_LOCAL_MACHINE, u"Software\\Classes\\.test", nullptr), u"TestFile");
  std::string text = read_text(prefix.machine_hive());
  EXPECT_EQ(text.rfind("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n", 0),
            0u);
  EXPECT_NE(text.find("[Software\\\\Classes\\\\.test] "), std::string::npos);
}

TEST_F(RegistryApi, SubKeyPathForms) {
  RegCloseKey(create(HKEY_CURRENT_USER, u"Software\\Paths\\A"));
  struct Case {
    const WCHAR* path;
    LONG status;
  };
  const std::vector<Case> cases = {
      {u"Software\\Paths\\A", ERROR_SUCCESS},
      {u"Software\\Paths\\A\\", ERROR_SUCCESS},
      {u"\\Software\\Paths\\A", ERROR_BAD_PATHNAME},
      {u"Software\\\\Paths\\A", ERROR_BAD_PATHNAME},
      {u"Software\\Paths\\A\\\\", ERROR_BAD_PATHNAME},
      {u"\\", ERROR_BAD_PATHNAME},
  };
  for (const Case& c : cases) {
    HKEY key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, c.path, 0, KEY_READ, &key), c.status);
    if (c.status == ERROR_SUCCESS) RegCloseKey(key);
    EXPECT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, c.path, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
        c.status);
    if (c.status == ERROR_SUCCESS) RegCloseKey(key);
  }
}

// Wine's limits: 256 UTF-16 units for a key name component, 16383 for a value name. Longer
// names are refused and leave the hive as it was.
TEST_F(RegistryApi, NamesLongerThanWineTakesAreInvalidParameters) {
  const std::u16string longest_key = u"Software\\Long\\" + std::u16string(256, u'k');
  const std::u16string too_long_key = u"Software\\Long\\" + std::u16string(257, u'k') + u"\\x";
  HKEY key = create(HKEY_CURRENT_USER, longest_key.c_str());
  RegCloseKey(key);
  const std::string hive = read_text(prefix.user_hive());
  EXPECT_NE(hive.find(std::string(256, 'k')), std::string::npos);
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, too_long_key.c_str(), 0, nullptr, 0, KEY_READ,
                            nullptr, &key, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, too_long_key.c_str(), 0, KEY_READ, &key),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(read_text(prefix.user_hive()), hive);

  key = create(HKEY_CURRENT_USER, u"Software\\Long");
  const std::u16string longest_name(16383, u'v');
  const std::u16string too_long_name(16384, u'v');
  set_string(key, longest_name.c_str(), u"x");
  const std::string with_value = read_text(prefix.user_hive());
  EXPECT_EQ(RegSetValueExW(key, too_long_name.c_str(), 0, REG_SZ, bytes(u"x"), 4),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExW(key, too_long_name.c_str(), nullptr, nullptr, nullptr, nullptr),
            ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
  EXPECT_EQ(read_text(prefix.user_hive()), with_value);
}

TEST(RootPrefixes, PathsEndAtTheirFirstNul) {
  using namespace std::string_literals;
  using registry_addon::WideString;
  struct Case {
    WideString path;
    bool split;
    WideString subKey;
  };
  const std::vector<Case> cases = {
      {u"HKEY_CURRENT_USER\\Software\0Hidden"s, true, u"Software"},
      {u"hkey_local_machine\\\0x"s, true, u""},
      {u"HKEY_CLASSES_ROOT\\.txt"s, true, u".txt"},
      {u"HKEY_CURRENT\0USER\\x"s, false, u""},
  };
  for (const Case& c : cases) {
    auto split = registry_addon::splitRootPrefix(c.path);
    ASSERT_EQ(split.has_value(), c.split) << c.path.size();
    if (split) {
      EXPECT_EQ(split->subKey, c.subKey) << c.path.size();
    }
  }
}

TEST_F(RegistryApi, EnumeratesInFileOrder) {
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\Enum", KEY_READ | KEY_SET_VALUE);
  set_string(key, u"beta", u"2");
  set_string(key, u"Alpha", u"1");
  set_string(key, nullptr, u"0");
  DWORD number = 7;
  ASSERT_EQ(RegSetValueExW(key, u"gamma", 0, REG_DWORD, bytes(&number), 4), ERROR_SUCCESS);
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(values, 4u);
  const std::vector<std::u16string> order = {u"", u"Alpha", u"beta", u"gamma"};
  for (DWORD i = 0; i < values; ++i) {
    WCHAR name[255];
    BYTE data[16];
    DWORD name_length = 255, data_size = sizeof data, type = 0;
    ASSERT_EQ(RegEnumValueW(key, i, name, &name_length, nullptr, &type, data, &data_size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name, name_length), order[i]);
    EXPECT_EQ(type, i == 3 ? REG_DWORD : REG_SZ);
    EXPECT_EQ(data_size, 4u);  // "0", "1" and "2" with terminators, or a DWORD
  }
  WCHAR name[8];
  BYTE data[2];
  DWORD name_length = 8, data_size = 2;
  EXPECT_EQ(RegEnumValueW(key, 4, name, &name_length, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  // "Alpha" needs six characters with its terminator; five is too few.
  name_length = 5;
  EXPECT_EQ(RegEnumValueW(key, 1, name, &name_length, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  EXPECT_EQ(name_length, 6u);
  name_length = 8;
  EXPECT_EQ(RegEnumValueW(key, 3, name, &name_length, nullptr, nullptr, data, &data_size),
            ERROR_MORE_DATA);
  EXPECT_EQ(data_size, 4u);
  data_size = 0;
  name_length = 8;
  EXPECT_EQ(RegEnumValueW(key, 3, name, &name_length, nullptr, nullptr, nullptr, &data_size),
            ERROR_SUCCESS);
  EXPECT_EQ(data_size, 4u);
  RegCloseKey(key);
}

TEST_F(RegistryApi, DeletesValues) {
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\Delete");
  set_string(key, u"Gone", u"x");
  set_string(key, u"Kept", u"y");
  EXPECT_EQ(RegDeleteValueW(key, u"GONE"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(key, u"Gone"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValueW(key, nullptr), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
  EXPECT_EQ(query_string(HKEY_CURRENT_USER, u"Software\\Delete", u"Kept"), u"y");
  EXPECT_EQ(read_text(prefix.user_hive()).find("Gone"), std::string::npos);
}

TEST_F(RegistryApi, HandlesOutliveAReloadAndSeeOtherWriters) {
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\Reload");
  set_string(key, u"v", u"mine");
  // Another writer replaces the file: the handle reads the new content.
  std::string text = read_text(prefix.user_hive());
  size_t at = text.find("\"v\"=\"mine\"");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 10, "\"v\"=\"theirs\"");
  write_text(prefix.user_hive() + ".new", text);
  ASSERT_EQ(rename((prefix.user_hive() + ".new").c_str(), prefix.user_hive().c_str()), 0);
  WCHAR buffer[16];
  DWORD size = sizeof buffer;
  ASSERT_EQ(RegQueryValueExW(key, u"v", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::u16string(buffer), u"theirs");
  RegCloseKey(key);
}

// Another writer's file may carry the inode number, size and modification time of the one
// cached (an inode freed and reused within one coarse clock tick). Rewritten in place with its
// time put back, it must not lose its change to a write, and readers must see it soon.
TEST_F(RegistryApi, AChangeThatKeepsTheFilesIdentityIsSeen) {
  auto replace_keeping_identity = [&](const std::string& from, const std::string& to) {
    struct stat before;
    ASSERT_EQ(stat(prefix.user_hive().c_str(), &before), 0);
    std::string text = read_text(prefix.user_hive());
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos);
    write_text(prefix.user_hive(), text.replace(at, from.size(), to));
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, prefix.user_hive().c_str(), times, 0), 0);
  };
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\Same");
  set_string(key, u"v", u"mine");
  ASSERT_EQ(query_string(HKEY_CURRENT_USER, u"Software\\Same", u"v"), u"mine");

  replace_keeping_identity("\"v\"=\"mine\"", "\"v\"=\"ours\"");
  set_string(key, u"w", u"later");
  EXPECT_EQ(query_string(HKEY_CURRENT_USER, u"Software\\Same", u"v"), u"ours");
  EXPECT_EQ(query_string(HKEY_CURRENT_USER, u"Software\\Same", u"w"), u"later");

  replace_keeping_identity("\"v\"=\"ours\"", "\"v\"=\"them\"");
  usleep(50'000);
  EXPECT_EQ(query_string(HKEY_CURRENT_USER, u"Software\\Same", u"v"), u"them");
  RegCloseKey(key);
}

TEST_F(RegistryApi, HivesNotUnderstoodWholeAreNeverRewritten) {
  const std::string text = fixture_text("wine_user.reg") + "\"broken\"=hex:zz\n";
  write_text(prefix.user_hive(), text);
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\ZTest");  // it exists: nothing to write
  EXPECT_EQ(RegSetValueExW(key, u"x", 0, REG_BINARY, nullptr, 0), ERROR_BADDB);
  EXPECT_EQ(RegDeleteValueW(key, u"dw"), ERROR_BADDB);
  HKEY other;
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\New", 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &other, nullptr),
            ERROR_BADDB);
  RegCloseKey(key);
  EXPECT_EQ(query_string(HKEY_CURRENT_USER, u"Software\\ZTest", nullptr), u"default");
  EXPECT_EQ(read_text(prefix.user_hive()), text);
}

TEST_F(RegistryApi, ReplacingAHiveKeepsItsMode) {
  write_text(prefix.user_hive(), fixture_text("wine_user.reg"));
  ASSERT_EQ(chmod(prefix.user_hive().c_str(), 0640), 0);
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\Mode");
  set_string(key, u"v", u"x");
  RegCloseKey(key);
  struct stat info;
  ASSERT_EQ(stat(prefix.user_hive().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// A writer killed between making its temporary file and renaming it leaves the file behind; a
// later process given the same pid must still write. ctest runs each test in a process of its
// own, so the planted names cover the ones this process is about to use.
TEST_F(RegistryApi, TemporaryFilesLeftByAKilledWriterDoNotBlockWrites) {
  for (int n = 0; n < 64; ++n) {
    write_text(prefix.user_hive() + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(n),
               "left over");
  }
  HKEY key = create(HKEY_CURRENT_USER, u"Software\\Leftover");
  set_string(key, u"v", u"x");
  RegCloseKey(key);
  EXPECT_EQ(query_string(HKEY_CURRENT_USER, u"Software\\Leftover", u"v"), u"x");
}

}  // namespace
