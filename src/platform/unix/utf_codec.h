// UTF-8 and UTF-16 conversion with Windows' treatment of ill-formed input: each maximal
// ill-formed UTF-8 subpart and each unpaired surrogate becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace registry_unix {

std::u16string utf8_to_utf16(std::string_view text);
std::string utf16_to_utf8(std::u16string_view text);

}  // namespace registry_unix
