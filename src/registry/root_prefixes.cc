#include "registry/root_prefixes.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace registry_addon {
namespace {

struct RootPrefix {
  std::string_view text;
  HKEY root;
};

// Tested in this order; they differ within their first seven characters.
const RootPrefix rootPrefixTable[] = {
    {"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE},
    {"HKEY_CLASSES_ROOT\\", HKEY_CLASSES_ROOT},
};

// Folds A-Z to a-z and nothing else: no locale, no case mapping beyond ASCII.
WCHAR foldAsciiCase(WCHAR unit) {
  return (unit >= 'A' && unit <= 'Z') ? static_cast<WCHAR>(unit + ('a' - 'A')) : unit;
}

bool startsWithPrefix(const WideString& path, std::string_view prefix) {
  if (path.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    // A NUL ends the path, and no prefix holds one, so it never matches here.
    if (foldAsciiCase(path[i]) != foldAsciiCase(static_cast<WCHAR>(prefix[i]))) return false;
  }
  return true;
}

}  // namespace

std::optional<SplitPath> splitRootPrefix(const WideString& path) {
  const std::size_t end = std::min(path.find(WCHAR(0)), path.size());
  for (const RootPrefix& prefix : rootPrefixTable) {
    if (startsWithPrefix(path, prefix.text)) {
      return SplitPath{prefix.root, path.substr(prefix.text.size(), end - prefix.text.size())};
    }
  }
  return std::nullopt;
}

}  // namespace registry_addon
