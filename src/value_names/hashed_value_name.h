// The value names under which named settings are stored: the setting name, "_h" and a 32-bit
// hash of the name in decimal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace registry_addon {

// The hash of the bytes of `name` up to its first NUL byte: h = 5381, then for each byte
// h = h * 33 XOR the byte widened with its sign, modulo 2^32.
std::uint32_t settingNameHash(std::string_view name);

// All of `name` (NUL bytes included), then "_h" and the decimal hash of `name`.
std::string hashedValueName(std::string_view name);

}  // namespace registry_addon
