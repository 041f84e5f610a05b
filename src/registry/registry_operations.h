// What each exported function does with its UTF-8 arguments: the meaning of its path, the
// roots it tries, the value it reads or writes. Registry failures become the caller's default,
// false or empty lists, never exceptions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace registry_addon {

// A path or value name holding U+0000 names no key or value: no registry call is made for it.

// A string value, or `defaultText` up to its first U+0000. A path without a root prefix is
// tried under HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT, in that order.
std::string readString(std::string_view path, std::string_view valueName,
                       std::string_view defaultText);

// A 4-byte number, or `defaultValue`. A path without a root prefix is tried under
// HKEY_CURRENT_USER, then HKEY_LOCAL_MACHINE.
std::uint32_t readNumber(std::string_view path, std::string_view valueName,
                         std::uint32_t defaultValue);

struct ValueList {
  std::vector<std::string> names;
  std::vector<std::string> data;
};

// The values of one key. A path without a root prefix is a key under HKEY_CURRENT_USER.
ValueList listValues(std::string_view path);

// Writers: a path without a root prefix writes nothing and gives false.
bool storeNumber(std::string_view path, std::string_view valueName, std::uint32_t number);
// REG_SZ: the text up to its first U+0000, and a terminating NUL.
bool storeString(std::string_view path, std::string_view valueName, std::string_view text);
// REG_BINARY: the UTF-8 bytes up to the first zero byte, and a zero byte.
bool storeBinary(std::string_view path, std::string_view valueName, std::string_view text);

// True when the value is gone afterwards (also when it or its key did not exist).
bool removeValue(std::string_view path, std::string_view valueName);

}  // namespace registry_addon
