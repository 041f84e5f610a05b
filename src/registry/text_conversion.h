// UTF-8 and UTF-16 conversions with explicit lengths: NULs are carried, ill-formed input
// becomes U+FFFD, and a conversion the platform refuses yields empty text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "registry/wide_string.h"

namespace registry_addon {

WideString utf8ToWide(std::string_view text);
std::string wideToUtf8(const WCHAR* text, std::size_t count);

}  // namespace registry_addon
