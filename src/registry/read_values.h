// Reads one value under one root key, with a single query into a fixed buffer.
#pragma once

#include <cstdint>

#include "registry/wide_string.h"

namespace registry_addon {

// Size of the buffer a string value is read into; larger values count as absent.
constexpr DWORD kValueDataBufferSize = 4096;
// Code units an expansion of REG_EXPAND_SZ is first given room for (terminator excluded).
constexpr DWORD kExpansionBufferLength = 2047;

// A REG_SZ, REG_MULTI_SZ (NUL separators kept, the final NUL dropped) or REG_EXPAND_SZ
// (expanded) value. On true `result` holds the text; on false it is untouched.
bool readStringValue(HKEY root, const WCHAR* subKey, const WCHAR* valueName, WideString& result);

// A REG_DWORD or REG_BINARY value of exactly 4 bytes, little-endian. On false `result` means
// nothing.
bool readDwordValue(HKEY root, const WCHAR* subKey, const WCHAR* valueName, std::uint32_t& result);

}  // namespace registry_addon
