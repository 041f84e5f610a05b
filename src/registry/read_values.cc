#include "registry/read_values.h"

#include "registry/open_key.h"

namespace registry_addon {
namespace {

// Opens the key for querying, queries once, and closes the key before the caller looks at
// what the query returned.
LSTATUS queryValue(HKEY root, const WCHAR* subKey, const WCHAR* valueName, DWORD& type, void* data,
                   DWORD& size) {
  OpenKey key;
  LSTATUS status = openWithViewRetry(key, root, subKey, KEY_QUERY_VALUE);
  if (status != ERROR_SUCCESS) return status;
  return RegQueryValueExW(key.get(), valueName, nullptr, &type, static_cast<BYTE*>(data), &size);
}

// The whole code units of string data, less a final NUL. Data stored without its terminator
// keeps its last character.
WideString stringData(const WCHAR* data, DWORD size) {
  std::size_t units = size / sizeof(WCHAR);
  if (units > 0 && data[units - 1] == 0) --units;
  return WideString(data, units);
}

// The text of a REG_EXPAND_SZ with the environment variables it names replaced, up to the
// first NUL of the expansion; nothing when the expansion fails.
bool expandString(const WideString& source, WideString& result) {
  WideString expanded(kExpansionBufferLength, WCHAR(0));
  DWORD needed = ExpandEnvironmentStringsW(source.c_str(), expanded.data(), kExpansionBufferLength);
  if (needed == 0) return false;
  if (needed > kExpansionBufferLength) {
    // Too long for the first buffer: expand again into one of the size reported.
    expanded.assign(needed, WCHAR(0));
    needed = ExpandEnvironmentStringsW(source.c_str(), expanded.data(), needed);
    if (needed == 0 || needed > expanded.size()) return false;
  }
  result.assign(expanded.c_str());
  return true;
}

}  // namespace

bool readStringValue(HKEY root, const WCHAR* subKey, const WCHAR* valueName, WideString& result) {
  WCHAR data[kValueDataBufferSize / sizeof(WCHAR)];
  DWORD type = REG_NONE;
  DWORD size = kValueDataBufferSize;
  if (queryValue(root, subKey, valueName, type, data, size) != ERROR_SUCCESS) return false;

  if ((type == REG_SZ || type == REG_MULTI_SZ) && size >= 2) {
    result = stringData(data, size);
    return true;
  }
  if (type == REG_EXPAND_SZ && size >= 1) {
    WideString unexpanded = stringData(data, size);
    // The expansion's source ends at the first NUL of the data.
    if (!expandString(WideString(unexpanded.c_str()), result)) result = unexpanded;
    return true;
  }
  return false;
}

bool readDwordValue(HKEY root, const WCHAR* subKey, const WCHAR* valueName, std::uint32_t& result) {
  BYTE data[4];
  DWORD type = REG_NONE;
  DWORD size = sizeof(data);
  if (queryValue(root, subKey, valueName, type, data, size) != ERROR_SUCCESS) return false;
  if ((type != REG_DWORD && type != REG_BINARY) || size != sizeof(data)) return false;
  result = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 | std::uint32_t(data[2]) << 16 |
           std::uint32_t(data[3]) << 24;
  return true;
}

}  // namespace registry_addon
