// Registry paths: a root prefix ("HKEY_CURRENT_USER\\", "HKEY_LOCAL_MACHINE\\",
// "HKEY_CLASSES_ROOT\\", in any ASCII letter case) and the sub-key path behind it.
#pragma once

#include <optional>

#include "registry/wide_string.h"

namespace registry_addon {

struct SplitPath {
  HKEY root;
  WideString subKey;
};

// The root key and sub-key path of `path`, or nothing when it begins with no root prefix.
// The path is read up to its first NUL.
std::optional<SplitPath> splitRootPrefix(const WideString& path);

}  // namespace registry_addon
