#include "registry/open_key.h"

namespace registry_addon {

LSTATUS OpenKey::open(HKEY root, const WCHAR* subKey, REGSAM access) {
  close();
  HKEY opened = nullptr;
  LSTATUS status = RegOpenKeyExW(root, subKey, 0, access, &opened);
  if (status == ERROR_SUCCESS) key_ = opened;
  return status;
}

LSTATUS OpenKey::create(HKEY root, const WCHAR* subKey) {
  close();
  HKEY created = nullptr;
  LSTATUS status = RegCreateKeyExW(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                   nullptr, &created, nullptr);
  if (status == ERROR_SUCCESS) key_ = created;
  return status;
}

void OpenKey::close() {
  if (key_ != nullptr) RegCloseKey(key_);
  key_ = nullptr;
}

LSTATUS openWithViewRetry(OpenKey& key, HKEY root, const WCHAR* subKey, REGSAM access) {
  LSTATUS status = key.open(root, subKey, access);
  if (status == ERROR_SUCCESS) return status;
  return key.open(root, subKey, KEY_WOW64_64KEY | access);
}

}  // namespace registry_addon
