// UTF-16 text as the Win32 calls take it: WCHAR code units, always followed by a NUL.
#pragma once

#include <string>

#include "win32_api.h"

namespace registry_addon {

using WideString = std::basic_string<WCHAR>;

}  // namespace registry_addon
