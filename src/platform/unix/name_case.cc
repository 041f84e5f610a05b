#include "name_case.h"

#include <locale.h>
#include <clocale>
#include <cwctype>

namespace registry_unix {
namespace {

locale_t unicode_ctype() {
  // Created once; a function-local static is initialised thread-safely.
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
  return locale;
}

bool is_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

char16_t lower_unit(char16_t unit) {
  if (unit < 0x80) return unit >= 'A' && unit <= 'Z' ? char16_t(unit + 32) : unit;
  locale_t locale = unicode_ctype();
  if (is_surrogate(unit) || locale == locale_t(0)) return unit;
  wint_t lower = towlower_l(unit, locale);
  return lower <= 0xFFFF ? char16_t(lower) : unit;
}

}  // namespace

char16_t fold_unit(char16_t unit) {
  if (unit < 0x80) return unit >= 'a' && unit <= 'z' ? char16_t(unit - 32) : unit;
  locale_t locale = unicode_ctype();
  if (is_surrogate(unit) || locale == locale_t(0)) return unit;
  wint_t upper = towupper_l(unit, locale);
  return upper <= 0xFFFF ? char16_t(upper) : unit;
}

std::u16string fold_name(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& unit : folded) unit = fold_unit(unit);
  return folded;
}

bool names_equal(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && fold_unit(a[i]) != fold_unit(b[i])) return false;
  }
  return true;
}

int compare_names_for_file(std::u16string_view a, std::u16string_view b) {
  size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    char16_t x = lower_unit(a[i]), y = lower_unit(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace registry_unix
