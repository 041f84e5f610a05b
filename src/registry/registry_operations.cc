#include "registry/registry_operations.h"

#include <initializer_list>
#include <optional>
#include <string>

#include "registry/enumerate_values.h"
#include "registry/read_values.h"
#include "registry/root_prefixes.h"
#include "registry/text_conversion.h"
#include "registry/write_values.h"

namespace registry_addon {
namespace {

bool holdsNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

// The roots and sub-key path a read tries: the prefix's root alone, or the whole path under
// each of `fallbackRoots`.
struct ReadTarget {
  std::vector<HKEY> roots;
  WideString subKey;
};

ReadTarget readTarget(const WideString& path, std::initializer_list<HKEY> fallbackRoots) {
  if (std::optional<SplitPath> split = splitRootPrefix(path)) {
    return {{split->root}, std::move(split->subKey)};
  }
  return {fallbackRoots, path};
}

bool storeValue(std::string_view path, std::string_view valueName, DWORD type, const BYTE* data,
                DWORD size) {
  if (holdsNul(path) || holdsNul(valueName)) return false;
  std::optional<SplitPath> split = splitRootPrefix(utf8ToWide(path));
  if (!split) return false;
  return writeValue(split->root, split->subKey.c_str(), utf8ToWide(valueName).c_str(), type, data,
                    size);
}

}  // namespace

std::string readString(std::string_view path, std::string_view valueName,
                       std::string_view defaultText) {
  if (!holdsNul(path) && !holdsNul(valueName)) {
    WideString wideName = utf8ToWide(valueName);
    ReadTarget target =
        readTarget(utf8ToWide(path), {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT});
    for (HKEY root : target.roots) {
      WideString found;
      if (readStringValue(root, target.subKey.c_str(), wideName.c_str(), found)) {
        return wideToUtf8(found.data(), found.size());
      }
    }
  }
  // The default is converted only when it is the result, and used up to its first NUL.
  WideString result = utf8ToWide(defaultText);
  result.resize(std::char_traits<WCHAR>::length(result.c_str()));
  return wideToUtf8(result.data(), result.size());
}

std::uint32_t readNumber(std::string_view path, std::string_view valueName,
                         std::uint32_t defaultValue) {
  if (holdsNul(path) || holdsNul(valueName)) return defaultValue;
  WideString wideName = utf8ToWide(valueName);
  ReadTarget target = readTarget(utf8ToWide(path), {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE});
  for (HKEY root : target.roots) {
    std::uint32_t number = 0;
    if (readDwordValue(root, target.subKey.c_str(), wideName.c_str(), number)) return number;
  }
  return defaultValue;
}

ValueList listValues(std::string_view path) {
  ValueList list;
  if (holdsNul(path)) return list;
  ReadTarget target = readTarget(utf8ToWide(path), {HKEY_CURRENT_USER});
  enumerateValues(target.roots.front(), target.subKey.c_str(), list.names, list.data);
  return list;
}

bool storeNumber(std::string_view path, std::string_view valueName, std::uint32_t number) {
  const BYTE data[4] = {BYTE(number), BYTE(number >> 8), BYTE(number >> 16), BYTE(number >> 24)};
  return storeValue(path, valueName, REG_DWORD, data, sizeof(data));
}

bool storeString(std::string_view path, std::string_view valueName, std::string_view text) {
  WideString wide = utf8ToWide(text);
  // Up to the first NUL, and one NUL; c_str() supplies the terminator.
  const std::size_t units = std::char_traits<WCHAR>::length(wide.c_str()) + 1;
  return storeValue(path, valueName, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                    static_cast<DWORD>(units * sizeof(WCHAR)));
}

bool storeBinary(std::string_view path, std::string_view valueName, std::string_view text) {
  std::string bytes(text.substr(0, text.find('\0')));
  return storeValue(path, valueName, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.c_str()),
                    static_cast<DWORD>(bytes.size() + 1));
}

bool removeValue(std::string_view path, std::string_view valueName) {
  if (holdsNul(path) || holdsNul(valueName)) return false;
  std::optional<SplitPath> split = splitRootPrefix(utf8ToWide(path));
  if (!split) return false;
  return deleteValue(split->root, split->subKey.c_str(), utf8ToWide(valueName).c_str());
}

}  // namespace registry_addon
