// Key handles. A handle names a key (hive and path) and the access it was opened with; each
// operation finds the key anew in the current hive, so a handle stays valid, in any thread,
// when the hive file is reloaded.
#pragma once

#include <memory>
#include <string>

#include "win32_api.h"
#include "wine_prefix.h"

namespace registry_unix {

struct KeyRef {
  HiveId hive = HiveId::kUser;
  std::u16string path;    // components joined by backslashes, as the caller spelled them
  std::u16string folded;  // the path folded for lookups
  REGSAM access = 0;
  bool is_root = false;  // a predefined key, which always exists
};

// The key a handle names, predefined keys included; null for a handle that is not open.
std::shared_ptr<const KeyRef> resolve_handle(HKEY key);
HKEY open_handle(KeyRef key);
// False for a handle that is not open. Closing a predefined key succeeds and does nothing.
bool close_handle(HKEY key);

// The key `sub_key` names below `parent`: null or empty names the parent itself; a leading
// backslash or an empty component inside the path is ERROR_BAD_PATHNAME; one trailing
// backslash is ignored; a component of more than 256 UTF-16 units is ERROR_INVALID_PARAMETER.
LONG sub_key_of(const KeyRef& parent, const WCHAR* sub_key, KeyRef& child);

}  // namespace registry_unix
