#include "hive_syntax.h"

#include <cstdio>

#include "utf_codec.h"

namespace registry_unix {
namespace {

// Hex data is broken after a byte once a line passes this column.
constexpr size_t kHexWrapColumn = 76;

bool is_hex_digit(char16_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char named_escape(char16_t c) {
  switch (c) {
    case 7:
      return 'a';
    case 8:
      return 'b';
    case 9:
      return 't';
    case 10:
      return 'n';
    case 11:
      return 'v';
    case 12:
      return 'f';
    case 13:
      return 'r';
    case 27:
      return 'e';
    default:
      return 0;
  }
}

char16_t named_unescape(char c) {
  switch (c) {
    case 'a':
      return 7;
    case 'b':
      return 8;
    case 't':
      return 9;
    case 'n':
      return 10;
    case 'v':
      return 11;
    case 'f':
      return 12;
    case 'r':
      return 13;
    case 'e':
      return 27;
    default:
      return 0;
  }
}

bool is_string_type(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Wine writes a string type as text only when its data is whole code units ending with a NUL.
bool written_as_text(const HiveValue& value) {
  const std::string& data = value.data;
  return is_string_type(value.type) && data.size() >= 2 && data.size() % 2 == 0 &&
         data[data.size() - 1] == 0 && data[data.size() - 2] == 0;
}

std::u16string text_of(const std::string& data) {
  std::u16string text(data.size() / 2 - 1, u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = char16_t(static_cast<unsigned char>(data[2 * i]) |
                       static_cast<unsigned char>(data[2 * i + 1]) << 8);
  }
  return text;
}

std::string data_of(const std::u16string& text) {
  std::string data;
  data.reserve(text.size() * 2 + 2);
  for (char16_t unit : text) {
    data.push_back(char(unit & 0xFF));
    data.push_back(char(unit >> 8));
  }
  data.append(2, '\0');
  return data;
}

void append_hex_data(std::string& out, const std::string& data, size_t column) {
  char digits[4];
  for (size_t i = 0; i < data.size(); ++i) {
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(data[i]));
    out += digits;
    column += 2;
    if (i + 1 == data.size()) break;
    out += ',';
    ++column;
    if (column > kHexWrapColumn) {
      out += "\\\n  ";
      column = 2;
    }
  }
}

size_t line_end(std::string_view text, size_t pos) {
  size_t end = text.find('\n', pos);
  return end == std::string_view::npos ? text.size() : end;
}

bool only_blanks(std::string_view text, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) {
    if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r') return false;
  }
  return true;
}

bool consume(std::string_view text, size_t& pos, std::string_view word) {
  if (text.substr(pos, word.size()) != word) return false;
  pos += word.size();
  return true;
}

// "(N):" after hex or str: the type number in hex.
bool read_type(std::string_view text, size_t& pos, DWORD& type) {
  if (!consume(text, pos, "(")) return false;
  unsigned long long number = 0;
  size_t digits = 0;
  for (; pos < text.size() && hex_value(text[pos]) >= 0; ++pos, ++digits) {
    number = number * 16 + hex_value(text[pos]);
    if (number > 0xFFFFFFFFull) return false;
  }
  if (digits == 0 || !consume(text, pos, "):")) return false;
  type = DWORD(number);
  return true;
}

// Comma-separated bytes, a trailing backslash continuing them on the next line.
bool read_hex_data(std::string_view text, size_t& pos, std::string& data) {
  size_t end = line_end(text, pos);
  while (true) {
    while (pos < end && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (pos < end && text[pos] == '\\' && only_blanks(text, pos + 1, end)) {
      if (end + 1 >= text.size()) return false;
      pos = end + 1;
      end = line_end(text, pos);
      continue;
    }
    if (pos >= end || text[pos] == '\r') break;
    int high = hex_value(text[pos]);
    if (high < 0) return false;
    int byte = high;
    ++pos;
    if (pos < end && hex_value(text[pos]) >= 0) byte = byte * 16 + hex_value(text[pos++]);
    data.push_back(char(byte));
    if (pos < end && text[pos] == ',') {
      ++pos;
    } else if (pos < end && text[pos] != '\r' && text[pos] != ' ' && text[pos] != '\\') {
      return false;
    }
  }
  if (!only_blanks(text, pos, end)) return false;
  pos = end;
  return true;
}

bool read_dword(std::string_view text, size_t& pos, std::string& data) {
  unsigned long long number = 0;
  size_t digits = 0;
  for (; pos < text.size() && hex_value(text[pos]) >= 0; ++pos, ++digits) {
    number = number * 16 + hex_value(text[pos]);
    if (digits >= 8) return false;
  }
  if (digits == 0) return false;
  for (int i = 0; i < 4; ++i) data.push_back(char((number >> (8 * i)) & 0xFF));
  return true;
}

bool read_string_data(std::string_view text, size_t& pos, std::string& data) {
  std::u16string content;
  if (!consume(text, pos, "\"") || !read_escaped(text, pos, '"', content)) return false;
  data = data_of(content);
  return true;
}

bool read_data(std::string_view text, size_t& pos, HiveValue& value) {
  if (pos < text.size() && text[pos] == '"') {
    value.type = REG_SZ;
    return read_string_data(text, pos, value.data);
  }
  if (consume(text, pos, "dword:")) {
    value.type = REG_DWORD;
    return read_dword(text, pos, value.data);
  }
  if (consume(text, pos, "str")) {
    return read_type(text, pos, value.type) && read_string_data(text, pos, value.data);
  }
  if (consume(text, pos, "hex")) {
    value.type = REG_BINARY;
    if (!consume(text, pos, ":") && !read_type(text, pos, value.type)) return false;
    return read_hex_data(text, pos, value.data);
  }
  return false;
}

}  // namespace

void append_escaped(std::string& out, std::u16string_view text, Delimiters delimiters) {
  char escape[12];
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    char16_t next = i + 1 < text.size() ? text[i + 1] : 0;
    bool delimiter = delimiters == Delimiters::kQuoted ? c == '"' : c == '[' || c == ']';
    if (c == '\\' || delimiter) {
      out += '\\';
      out += char(c);
    } else if (char name = named_escape(c)) {
      out += '\\';
      out += name;
    } else if (c < 0x20) {
      // Padded when the next character would read as one more octal digit.
      bool pad = next >= '0' && next <= '7';
      std::snprintf(escape, sizeof escape, pad ? "\\%03o" : "\\%o", unsigned(c));
      out += escape;
    } else if (c < 0x80) {
      out += char(c);
    } else {
      bool pad = is_hex_digit(next);
      std::snprintf(escape, sizeof escape, pad ? "\\x%04x" : "\\x%x", unsigned(c));
      out += escape;
    }
  }
}

bool read_escaped(std::string_view text, size_t& pos, char end, std::u16string& out) {
  size_t raw_start = pos;
  auto flush_raw = [&](size_t upto) {
    // Bytes outside escapes are taken as UTF-8.
    if (upto > raw_start) out += utf8_to_utf16(text.substr(raw_start, upto - raw_start));
  };
  while (pos < text.size() && text[pos] != '\n') {
    char c = text[pos];
    if (c == end) {
      flush_raw(pos);
      ++pos;
      return true;
    }
    if (c != '\\') {
      ++pos;
      continue;
    }
    flush_raw(pos);
    if (++pos >= text.size() || text[pos] == '\n') return false;
    char kind = text[pos++];
    if (kind == 'x' && pos < text.size() && hex_value(text[pos]) >= 0) {
      unsigned unit = 0;
      for (int digits = 0; digits < 4 && pos < text.size() && hex_value(text[pos]) >= 0; ++digits) {
        unit = unit * 16 + hex_value(text[pos++]);
      }
      out.push_back(char16_t(unit));
    } else if (kind >= '0' && kind <= '7') {
      unsigned unit = kind - '0';
      for (int digits = 1; digits < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7';
           ++digits) {
        unit = unit * 8 + (text[pos++] - '0');
      }
      out.push_back(char16_t(unit));
    } else if (char16_t control = named_unescape(kind)) {
      out.push_back(control);
    } else {
      out.push_back(char16_t(static_cast<unsigned char>(kind)));
    }
    raw_start = pos;
  }
  return false;
}

std::string format_value(const HiveValue& value) {
  std::string out;
  if (value.name.empty()) {
    out += '@';
  } else {
    out += '"';
    append_escaped(out, value.name, Delimiters::kQuoted);
    out += '"';
  }
  out += '=';
  char prefix[24];
  if (written_as_text(value)) {
    if (value.type != REG_SZ) {
      std::snprintf(prefix, sizeof prefix, "str(%x):", unsigned(value.type));
      out += prefix;
    }
    out += '"';
    append_escaped(out, text_of(value.data), Delimiters::kQuoted);
    out += '"';
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    unsigned number = 0;
    for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(value.data[i]);
    std::snprintf(prefix, sizeof prefix, "dword:%08x", number);
    out += prefix;
  } else {
    if (value.type == REG_BINARY) {
      out += "hex:";
    } else {
      std::snprintf(prefix, sizeof prefix, "hex(%x):", unsigned(value.type));
      out += prefix;
    }
    size_t line_start = out.rfind('\n');
    append_hex_data(out, value.data,
                    out.size() - (line_start == std::string::npos ? 0 : line_start + 1));
  }
  out += '\n';
  return out;
}

bool parse_value(std::string_view text, size_t& pos, HiveValue& value) {
  size_t start = pos;
  value = HiveValue();
  bool ok = false;
  if (text[pos] == '@') {
    ++pos;
    ok = true;
  } else if (text[pos] == '"') {
    ++pos;
    ok = read_escaped(text, pos, '"', value.name);
  }
  ok = ok && consume(text, pos, "=") && read_data(text, pos, value);
  size_t end = line_end(text, pos);
  ok = ok && only_blanks(text, pos, end);
  if (!ok) end = line_end(text, start);
  pos = end < text.size() ? end + 1 : end;
  return ok;
}

std::string format_time_line(unsigned long long file_time) {
  char line[40];
  std::snprintf(line, sizeof line, "#time=%llx\n", file_time);
  return line;
}

}  // namespace registry_unix
