// ExpandEnvironmentStringsW over the process environment.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "win32_api.h"

namespace {

class EnvironmentExpansion : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("REGISTRY_TEST_DIR", "C:\\data", 1);
    setenv("REGISTRY_TEST_UTF8", "\xc3\xa9t\xc3\xa9", 1);
    unsetenv("REGISTRY_TEST_UNSET");
  }
  void TearDown() override {
    unsetenv("REGISTRY_TEST_DIR");
    unsetenv("REGISTRY_TEST_UTF8");
  }
};

std::u16string expand(const std::u16string& source) {
  DWORD size = ExpandEnvironmentStringsW(source.c_str(), nullptr, 0);
  std::u16string out(size, u'#');
  EXPECT_EQ(ExpandEnvironmentStringsW(source.c_str(), out.data(), size), size);
  EXPECT_EQ(out.back(), u'\0');
  out.pop_back();
  return out;
}

TEST_F(EnvironmentExpansion, ExpandsAsWindows) {
  struct Case {
    std::u16string source, expanded;
  };
  const std::vector<Case> cases = {
      {u"", u""},
      {u"plain", u"plain"},
      {u"%REGISTRY_TEST_DIR%\\bin", u"C:\\data\\bin"},
      {u"%registry_test_dir%", u"C:\\data"},
      {u"%REGISTRY_TEST_UTF8%!", u"\u00e9t\u00e9!"},
      {u"%REGISTRY_TEST_UNSET%", u"%REGISTRY_TEST_UNSET%"},
      {u"%REGISTRY_TEST_UNSET%%REGISTRY_TEST_DIR%", u"%REGISTRY_TEST_UNSET%C:\\data"},
      {u"100%", u"100%"},
      {u"%%", u"%%"},
      {u"a%%REGISTRY_TEST_DIR%", u"a%%REGISTRY_TEST_DIR%"},
      {u"50% of %REGISTRY_TEST_DIR%", u"50% of %REGISTRY_TEST_DIR%"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(expand(c.source), c.expanded) << std::string(c.source.begin(), c.source.end());
  }
}

TEST_F(EnvironmentExpansion, SmallBufferGetsWhatFitsAndTheSizeNeeded) {
  WCHAR buffer[6];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  // "C:\data\x" is 9 characters and its terminator.
  EXPECT_EQ(ExpandEnvironmentStringsW(u"%REGISTRY_TEST_DIR%\\x", buffer, 4), 10u);
  EXPECT_EQ(std::u16string(buffer, 4), std::u16string(u"C:\\\0", 4));
  EXPECT_EQ(buffer[4], u'#');
  EXPECT_EQ(ExpandEnvironmentStringsW(nullptr, buffer, 6), 0u);
}

}  // namespace
