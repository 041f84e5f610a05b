// An open registry key, closed when its owner goes out of scope, on every path.
#pragma once

#include "win32_api.h"

namespace registry_addon {

class OpenKey {
 public:
  OpenKey() = default;
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  ~OpenKey() { close(); }

  // RegOpenKeyExW; on success this owner holds the key.
  LSTATUS open(HKEY root, const WCHAR* subKey, REGSAM access);
  // RegCreateKeyExW for writing, creating the key when it is missing.
  LSTATUS create(HKEY root, const WCHAR* subKey);
  HKEY get() const { return key_; }

 private:
  void close();

  HKEY key_ = nullptr;
};

// Opens with `access`, and once more with KEY_WOW64_64KEY added when that fails.
LSTATUS openWithViewRetry(OpenKey& key, HKEY root, const WCHAR* subKey, REGSAM access);

}  // namespace registry_addon
