// The text forms of Wine's registry files: escaped names and strings, and value entries
// (`"name"=...` or `@=...`, hex data continued over lines with a trailing backslash).
#pragma once

#include <string>
#include <string_view>

#include "win32_api.h"

namespace registry_unix {

struct HiveValue {
  std::u16string name;  // empty for the key's default value
  DWORD type = REG_NONE;
  std::string data;  // raw bytes
};

// Which delimiters a text escapes: a value's quotes, or a key name's brackets.
enum class Delimiters { kQuoted, kBracketed };

void append_escaped(std::string& out, std::u16string_view text, Delimiters delimiters);

// Reads escaped text from `text` at `pos` up to the unescaped `end` character, leaving `pos`
// just past it. False when the line ends first.
bool read_escaped(std::string_view text, size_t& pos, char end, std::u16string& out);

// One value entry in Wine's layout, ending with a newline.
std::string format_value(const HiveValue& value);

// Parses the value entry starting at `pos` (a line start), continuation lines included, and
// leaves `pos` at the start of the next line. False when the entry is not well formed; `pos`
// then skips the offending line.
bool parse_value(std::string_view text, size_t& pos, HiveValue& value);

// The #time= line of a key, a FILETIME in hex.
std::string format_time_line(unsigned long long file_time);

}  // namespace registry_unix
