// Any bytes as UTF-8 and as UTF-16 code units, through the Linux layer's codec and the
// module's conversions over MultiByteToWideChar/WideCharToMultiByte. Decoding must match a
// decoder written from the Unicode table of well-formed sequences (U+FFFD for each maximal
// ill-formed subpart), valid text must round-trip exactly, and repaired text stays as it is.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "registry/text_conversion.h"
#include "utf_codec.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "text fuzzer: %s\n", what);
  std::abort();
}

struct Sequence {
  size_t length;  // of the well-formed sequence, or of the maximal ill-formed subpart
  bool valid;
  char32_t code_point;
};

// The sequence at `i`, by the table of well-formed UTF-8: the lead byte gives the length and
// the range of the second byte; every later byte is 80..BF.
Sequence sequence_at(std::string_view text, size_t i) {
  unsigned lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return {1, true, lead};
  unsigned low = 0x80, high = 0xBF;
  size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {1, false, 0};
  }
  char32_t code_point = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    if (i + k >= text.size()) return {k, false, 0};
    unsigned byte = static_cast<unsigned char>(text[i + k]);
    bool in_range = k == 1 ? byte >= low && byte <= high : byte >= 0x80 && byte <= 0xBF;
    if (!in_range) return {k, false, 0};
    code_point = code_point << 6 | (byte & 0x3F);
  }
  return {length, true, code_point};
}

void append_utf16(std::u16string& out, char32_t code_point) {
  if (code_point < 0x10000) {
    out.push_back(char16_t(code_point));
  } else {
    out.push_back(char16_t(0xD800 + ((code_point - 0x10000) >> 10)));
    out.push_back(char16_t(0xDC00 + ((code_point - 0x10000) & 0x3FF)));
  }
}

// The expected decoding of `text`, and whether it was valid UTF-8.
std::u16string reference_decode(std::string_view text, bool& valid) {
  std::u16string out;
  valid = true;
  for (size_t i = 0; i < text.size();) {
    Sequence sequence = sequence_at(text, i);
    if (sequence.valid) {
      append_utf16(out, sequence.code_point);
    } else {
      out.push_back(kReplacement);
      valid = false;
    }
    i += sequence.length;
  }
  return out;
}

bool is_high(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// `units` with each unpaired surrogate replaced by U+FFFD.
std::u16string repaired(std::u16string units) {
  for (size_t i = 0; i < units.size(); ++i) {
    if (is_high(units[i]) && i + 1 < units.size() && is_low(units[i + 1])) {
      ++i;
    } else if (is_high(units[i]) || is_low(units[i])) {
      units[i] = kReplacement;
    }
  }
  return units;
}

void check_utf8_input(const std::string& bytes) {
  bool valid = false;
  std::u16string decoded = registry_unix::utf8_to_utf16(bytes);
  check(decoded == reference_decode(bytes, valid), "UTF-8 decodes unlike the reference");
  std::string encoded = registry_unix::utf16_to_utf8(decoded);
  if (valid) check(encoded == bytes, "valid UTF-8 does not round-trip");
  bool encoded_valid = false;
  check(reference_decode(encoded, encoded_valid) == decoded && encoded_valid,
        "repaired UTF-8 does not read back as it was");

  check(registry_addon::utf8ToWide(bytes) == decoded, "utf8ToWide differs from the codec");

  // NUL-terminated input: the count includes the terminator, and a buffer one short fails.
  std::u16string up_to_nul = registry_unix::utf8_to_utf16(bytes.c_str());
  int needed = MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, nullptr, 0);
  check(needed == int(up_to_nul.size()) + 1, "MultiByteToWideChar counts a C string wrongly");
  std::u16string buffer(size_t(needed), u'?');
  check(MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, buffer.data(), needed - 1) == 0 ||
            needed == 1,
        "MultiByteToWideChar writes into a buffer too small");
  check(MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, buffer.data(), needed) == needed &&
            buffer == up_to_nul + u'\0',
        "MultiByteToWideChar converts a C string wrongly");
}

void check_utf16_input(const std::string& bytes) {
  std::u16string units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(char16_t(static_cast<unsigned char>(bytes[i]) |
                             static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  std::string encoded = registry_unix::utf16_to_utf8(units);
  bool valid = false;
  std::u16string decoded = reference_decode(encoded, valid);
  check(valid, "UTF-16 encodes to ill-formed UTF-8");
  check(decoded == repaired(units), "UTF-16 does not round-trip with surrogates repaired");
  check(registry_unix::utf8_to_utf16(encoded) == decoded, "encoded UTF-8 decodes differently");

  check(registry_addon::wideToUtf8(units.data(), units.size()) == encoded,
        "wideToUtf8 differs from the codec");

  std::string up_to_nul = registry_unix::utf16_to_utf8(units.c_str());
  int needed = WideCharToMultiByte(CP_UTF8, 0, units.c_str(), -1, nullptr, 0, nullptr, nullptr);
  check(needed == int(up_to_nul.size()) + 1, "WideCharToMultiByte counts a C string wrongly");
  std::string buffer(size_t(needed), '?');
  check(WideCharToMultiByte(CP_UTF8, 0, units.c_str(), -1, buffer.data(), needed - 1, nullptr,
                            nullptr) == 0 ||
            needed == 1,
        "WideCharToMultiByte writes into a buffer too small");
  check(WideCharToMultiByte(CP_UTF8, 0, units.c_str(), -1, buffer.data(), needed, nullptr,
                            nullptr) == needed &&
            buffer == up_to_nul + '\0',
        "WideCharToMultiByte converts a C string wrongly");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  check_utf8_input(bytes);
  check_utf16_input(bytes);
  return 0;
}
