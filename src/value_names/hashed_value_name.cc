#include "value_names/hashed_value_name.h"

namespace registry_addon {

std::uint32_t settingNameHash(std::string_view name) {
  std::uint32_t hash = 5381;
  for (char byte : name) {
    if (byte == '\0') break;
    hash *= 33;
    // Bytes above 0x7F count as negative: their sign fills the upper 24 bits.
    hash ^= static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(byte)));
  }
  return hash;
}

std::string hashedValueName(std::string_view name) {
  std::string result(name);
  result += "_h";
  // std::to_string of an unsigned integer ignores the locale and never prints a sign.
  result += std::to_string(settingNameHash(name));
  return result;
}

}  // namespace registry_addon
