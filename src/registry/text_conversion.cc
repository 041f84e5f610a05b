#include "registry/text_conversion.h"

namespace registry_addon {

WideString utf8ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int inputSize = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), inputSize, nullptr, 0);
  if (needed <= 0) return {};
  WideString result(static_cast<std::size_t>(needed), WCHAR(0));
  MultiByteToWideChar(CP_UTF8, 0, text.data(), inputSize, result.data(), needed);
  return result;
}

std::string wideToUtf8(const WCHAR* text, std::size_t count) {
  if (count == 0) return {};
  const int inputSize = static_cast<int>(count);
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text, inputSize, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string result(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, inputSize, result.data(), needed, nullptr, nullptr);
  return result;
}

}  // namespace registry_addon
