// Lists the names and data of all values of one key.
#pragma once

#include <string>
#include <vector>

#include "registry/wide_string.h"

namespace registry_addon {

// Names of at most this many code units are listed; longer ones are left out.
constexpr DWORD kValueNameBufferLength = 256;
// Data of at most kValueDataBufferSize - 1 bytes is listed; larger values are left out.
constexpr DWORD kListedDataBufferSize = 8192;

// Appends each value's name and data, as UTF-8, to `names` and `data`, in the registry's
// enumeration order. String data is taken up to its first NUL (the first string of a
// REG_MULTI_SZ, REG_EXPAND_SZ unexpanded); other data as its bytes up to the first zero byte.
// A value that cannot be read is left out of both lists; a key that cannot be opened or
// counted leaves both untouched.
void enumerateValues(HKEY root, const WCHAR* subKey, std::vector<std::string>& names,
                     std::vector<std::string>& data);

}  // namespace registry_addon
