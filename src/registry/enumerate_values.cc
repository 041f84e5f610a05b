#include "registry/enumerate_values.h"

#include <algorithm>

#include "registry/open_key.h"
#include "registry/text_conversion.h"

namespace registry_addon {
namespace {

bool isStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::string listedData(DWORD type, const BYTE* bytes, DWORD size) {
  if (isStringType(type)) {
    const WCHAR* units = reinterpret_cast<const WCHAR*>(bytes);
    const WCHAR* end = std::find(units, units + size / sizeof(WCHAR), WCHAR(0));
    return wideToUtf8(units, static_cast<std::size_t>(end - units));
  }
  const BYTE* end = std::find(bytes, bytes + size, BYTE(0));
  return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(end - bytes));
}

}  // namespace

void enumerateValues(HKEY root, const WCHAR* subKey, std::vector<std::string>& names,
                     std::vector<std::string>& data) {
  OpenKey key;
  if (key.open(root, subKey, KEY_READ) != ERROR_SUCCESS) return;
  DWORD count = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return;
  }

  WCHAR name[kValueNameBufferLength];
  // WCHAR-aligned, since string data is read as code units.
  WCHAR buffer[kListedDataBufferSize / sizeof(WCHAR)];
  BYTE* bytes = reinterpret_cast<BYTE*>(buffer);
  for (DWORD index = 0; index < count; ++index) {
    DWORD nameLength = kValueNameBufferLength - 1;
    DWORD size = kListedDataBufferSize - 1;
    DWORD type = REG_NONE;
    name[0] = 0;
    bytes[0] = 0;
    if (RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, bytes, &size) !=
        ERROR_SUCCESS) {
      continue;
    }
    names.push_back(wideToUtf8(name, nameLength));
    data.push_back(listedData(type, bytes, size));
  }
}

}  // namespace registry_addon
