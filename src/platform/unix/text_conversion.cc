// MultiByteToWideChar and WideCharToMultiByte for UTF-8, the only code page the module uses.
#include <cstring>
#include <string>

#include "utf_codec.h"
#include "win32_api.h"

namespace {

// Win32's answer for a converted text: the count needed when no buffer is given, the count
// written when it fits, and 0 (failure) when it does not.
template <typename Unit>
int deliver(const std::basic_string<Unit>& converted, Unit* output, int output_size) {
  if (converted.size() > static_cast<size_t>(INT32_MAX)) return 0;
  int count = static_cast<int>(converted.size());
  if (output_size == 0) return count;
  if (count > output_size) return 0;
  std::memcpy(output, converted.data(), converted.size() * sizeof(Unit));
  return count;
}

bool arguments_valid(UINT code_page, DWORD flags, const void* input, int input_size,
                     const void* output, int output_size) {
  if (code_page != CP_UTF8 || flags != 0) return false;
  if (input == nullptr || input_size == 0 || input_size < -1) return false;
  if (output_size < 0 || (output_size > 0 && output == nullptr)) return false;
  return true;
}

}  // namespace

int MultiByteToWideChar(UINT code_page, DWORD flags, LPCCH input, int input_size, LPWSTR output,
                        int output_size) {
  if (!arguments_valid(code_page, flags, input, input_size, output, output_size)) return 0;
  size_t length = input_size == -1 ? std::strlen(input) + 1 : static_cast<size_t>(input_size);
  return deliver(registry_unix::utf8_to_utf16({input, length}), output, output_size);
}

int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWCH input, int input_size, LPSTR output,
                        int output_size, LPCCH default_char, LPBOOL used_default_char) {
  if (!arguments_valid(code_page, flags, input, input_size, output, output_size)) return 0;
  // UTF-8 has no default character; Win32 rejects one.
  if (default_char != nullptr || used_default_char != nullptr) return 0;
  size_t length = input_size == -1 ? std::char_traits<char16_t>::length(input) + 1
                                   : static_cast<size_t>(input_size);
  return deliver(registry_unix::utf16_to_utf8({input, length}), output, output_size);
}
