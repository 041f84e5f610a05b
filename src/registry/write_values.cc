#include "registry/write_values.h"

#include "registry/open_key.h"

namespace registry_addon {

bool writeValue(HKEY root, const WCHAR* subKey, const WCHAR* valueName, DWORD type,
                const BYTE* data, DWORD size) {
  OpenKey key;
  if (key.create(root, subKey) != ERROR_SUCCESS) return false;
  return RegSetValueExW(key.get(), valueName, 0, type, data, size) == ERROR_SUCCESS;
}

bool deleteValue(HKEY root, const WCHAR* subKey, const WCHAR* valueName) {
  OpenKey key;
  LSTATUS status = openWithViewRetry(key, root, subKey, KEY_SET_VALUE);
  // A key that is missing, or whose path cannot name a key at all, holds no value.
  if (status != ERROR_SUCCESS) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_INVALID_PARAMETER;
  }
  status = RegDeleteValueW(key.get(), valueName);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace registry_addon
