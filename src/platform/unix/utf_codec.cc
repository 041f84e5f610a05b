#include "utf_codec.h"

namespace registry_unix {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The range the second byte of a sequence must fall in, which rules out overlong forms,
// surrogates and code points past U+10FFFF.
bool second_byte_fits(unsigned char lead, unsigned char second) {
  if (lead == 0xE0) return second >= 0xA0 && second <= 0xBF;
  if (lead == 0xED) return second >= 0x80 && second <= 0x9F;
  if (lead == 0xF0) return second >= 0x90 && second <= 0xBF;
  if (lead == 0xF4) return second >= 0x80 && second <= 0x8F;
  return is_continuation(second);
}

void append_code_point(std::u16string& out, char32_t code_point) {
  if (code_point < 0x10000) {
    out.push_back(char16_t(code_point));
  } else {
    code_point -= 0x10000;
    out.push_back(char16_t(0xD800 + (code_point >> 10)));
    out.push_back(char16_t(0xDC00 + (code_point & 0x3FF)));
  }
}

void append_utf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out.push_back(char(code_point));
  } else if (code_point < 0x800) {
    out.push_back(char(0xC0 | (code_point >> 6)));
    out.push_back(char(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out.push_back(char(0xE0 | (code_point >> 12)));
    out.push_back(char(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(char(0x80 | (code_point & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (code_point >> 18)));
    out.push_back(char(0x80 | ((code_point >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(char(0x80 | (code_point & 0x3F)));
  }
}

}  // namespace

std::u16string utf8_to_utf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    if (length == 0) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    char32_t code_point = lead & (0xFF >> (length + 1));
    size_t taken = 1;
    while (taken < length && i + taken < text.size()) {
      unsigned char byte = static_cast<unsigned char>(text[i + taken]);
      bool fits = taken == 1 ? second_byte_fits(lead, byte) : is_continuation(byte);
      if (!fits) break;
      code_point = (code_point << 6) | (byte & 0x3F);
      ++taken;
    }
    if (taken == length) {
      append_code_point(out, code_point);
    } else {
      out.push_back(kReplacement);
    }
    i += taken;
  }
  return out;
}

std::string utf16_to_utf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      append_utf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      append_utf8(out, kReplacement);
    } else {
      append_utf8(out, unit);
    }
  }
  return out;
}

}  // namespace registry_unix
