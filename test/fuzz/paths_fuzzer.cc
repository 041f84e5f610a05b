// Any bytes as a registry path (UTF-16 code units) and as a setting name: splitRootPrefix
// must find exactly the root prefix an ASCII case-insensitive comparison finds, and
// hashedValueName must be the name, "_h" and the decimal of a hash computed here anew.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "registry/root_prefixes.h"
#include "value_names/hashed_value_name.h"

using registry_addon::WideString;

namespace {

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "paths fuzzer: %s\n", what);
  std::abort();
}

char16_t lower_ascii(char16_t unit) { return unit >= 'A' && unit <= 'Z' ? unit + 32 : unit; }

bool starts_with_ignoring_ascii_case(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (lower_ascii(text[i]) != lower_ascii(prefix[i])) return false;
  }
  return true;
}

void check_split(const WideString& path) {
  struct Root {
    std::u16string_view prefix;
    HKEY root;
  };
  const Root roots[] = {
      {u"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER},
      {u"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE},
      {u"HKEY_CLASSES_ROOT\\", HKEY_CLASSES_ROOT},
  };
  std::u16string_view text(path);
  text = text.substr(0, text.find(u'\0'));
  const Root* expected = nullptr;
  for (const Root& root : roots) {
    if (starts_with_ignoring_ascii_case(text, root.prefix)) expected = &root;
  }
  auto split = registry_addon::splitRootPrefix(path);
  check(split.has_value() == (expected != nullptr), "a root prefix is missed or made up");
  if (!split) return;
  check(split->root == expected->root, "the wrong root");
  check(split->subKey == text.substr(expected->prefix.size()),
        "the sub-key is not the path's rest up to its first NUL");
}

uint32_t reference_hash(std::string_view name) {
  uint32_t hash = 5381;
  for (char byte : name) {
    if (byte == '\0') break;
    hash = (hash * 33) ^ uint32_t(int32_t(static_cast<signed char>(byte)));
  }
  return hash;
}

void check_hashed_name(std::string_view name) {
  uint32_t hash = registry_addon::settingNameHash(name);
  check(hash == reference_hash(name), "settingNameHash differs from the reference");
  std::string hashed = registry_addon::hashedValueName(name);
  check(hashed.compare(0, name.size(), name) == 0 && hashed.compare(name.size(), 2, "_h") == 0,
        "the hashed name does not start with the name and _h");
  std::string_view digits = std::string_view(hashed).substr(name.size() + 2);
  check(!digits.empty() && digits.size() <= 10 && (digits[0] != '0' || digits.size() == 1),
        "the hash is not a plain decimal number");
  uint64_t number = 0;
  for (char digit : digits) {
    check(digit >= '0' && digit <= '9', "the hash has a character that is not a digit");
    number = number * 10 + uint64_t(digit - '0');
  }
  check(number == hash, "the decimal is not the hash");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WideString path;
  for (size_t i = 0; i + 1 < size; i += 2) path.push_back(WCHAR(data[i] | data[i + 1] << 8));
  check_split(path);
  check_hashed_name(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
