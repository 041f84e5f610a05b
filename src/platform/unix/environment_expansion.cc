// ExpandEnvironmentStringsW over the process environment, whose values are UTF-8.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "name_case.h"
#include "utf_codec.h"
#include "win32_api.h"

extern char** environ;

namespace {

// The value of a variable, its name matched without regard to case as on Windows; an exact
// match wins over one that differs in case.
std::optional<std::u16string> find_variable(std::u16string_view name) {
  std::string utf8_name = registry_unix::utf16_to_utf8(name);
  if (const char* exact = std::getenv(utf8_name.c_str()))
    return registry_unix::utf8_to_utf16(exact);
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr || equals == *entry) continue;
    std::u16string entry_name = registry_unix::utf8_to_utf16({*entry, size_t(equals - *entry)});
    if (registry_unix::names_equal(entry_name, name)) {
      return registry_unix::utf8_to_utf16(equals + 1);
    }
  }
  return std::nullopt;
}

// %NAME% is replaced by the variable's value; an unknown name (the empty one of "%%"
// included) stays as written with its percent signs, and a % with no closing one is literal.
std::u16string expand(std::u16string_view source) {
  std::u16string out;
  size_t i = 0;
  while (i < source.size()) {
    size_t open = source.find(u'%', i);
    if (open == std::u16string_view::npos) break;
    size_t close = source.find(u'%', open + 1);
    if (close == std::u16string_view::npos) break;
    out.append(source.substr(i, open - i));
    std::u16string_view name = source.substr(open + 1, close - open - 1);
    std::optional<std::u16string> value;
    if (!name.empty()) value = find_variable(name);
    if (value) {
      out.append(*value);
    } else {
      out.append(source.substr(open, close - open + 1));
    }
    i = close + 1;
  }
  out.append(source.substr(std::min(i, source.size())));
  return out;
}

}  // namespace

DWORD ExpandEnvironmentStringsW(LPCWSTR source, LPWSTR target, DWORD target_size) {
  if (source == nullptr) return 0;
  std::u16string expanded = expand(source);
  DWORD needed = static_cast<DWORD>(expanded.size() + 1);
  if (target != nullptr && target_size > 0) {
    // What fits is written, always terminated, never past the buffer.
    size_t count = std::min<size_t>(expanded.size(), target_size - 1);
    std::copy_n(expanded.data(), count, target);
    target[count] = u'\0';
  }
  return needed;
}
