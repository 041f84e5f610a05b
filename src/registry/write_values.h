// Writes and deletes one value under one root key.
#pragma once

#include "registry/wide_string.h"

namespace registry_addon {

// Creates the key when it is missing and stores the value; true when it was stored.
bool writeValue(HKEY root, const WCHAR* subKey, const WCHAR* valueName, DWORD type,
                const BYTE* data, DWORD size);

// True when the value is gone afterwards: deleted, or its key (or a key of that path) or the
// value did not exist.
// False when the key exists but cannot be opened for the change, or the delete fails.
bool deleteValue(HKEY root, const WCHAR* subKey, const WCHAR* valueName);

}  // namespace registry_addon
