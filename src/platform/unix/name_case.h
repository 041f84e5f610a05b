// Registry names compare without regard to case, one UTF-16 code unit at a time, as Windows
// compares them.
#pragma once

#include <string>
#include <string_view>

namespace registry_unix {

// The upper-case form of one code unit (simple one-to-one mapping; surrogates map to themselves).
char16_t fold_unit(char16_t unit);

// The upper-case form of a whole name, used as a lookup key.
std::u16string fold_name(std::u16string_view name);

bool names_equal(std::u16string_view a, std::u16string_view b);

// The order Wine keeps keys and values in within a hive file: code units compared in lower
// case, a name before any longer name it starts.
int compare_names_for_file(std::u16string_view a, std::u16string_view b);

}  // namespace registry_unix
