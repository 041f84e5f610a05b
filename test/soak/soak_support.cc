#include "soak_support.h"

#include <stdlib.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace soak {

void fail(const std::string& message) {
  std::fprintf(stderr, "soak FAILED: %s\n", message.c_str());
  std::fflush(stderr);
  _exit(1);
}

Flags::Flags(int argc, char** argv) : argc_(argc), argv_(argv) {
  for (int i = 1; i < argc; i += 2) {
    if (std::string(argv[i]).rfind("--", 0) != 0 || i + 1 >= argc) {
      fail(std::string("expected --flag <number>, got ") + argv[i]);
    }
  }
}

unsigned long long Flags::number(const std::string& name, unsigned long long fallback) const {
  for (int i = 1; i + 1 < argc_; i += 2) {
    if (name != argv_[i]) continue;
    char* end = nullptr;
    unsigned long long value = std::strtoull(argv_[i + 1], &end, 10);
    if (*argv_[i + 1] == '\0' || *end != '\0') fail(name + " needs a number");
    return value;
  }
  return fallback;
}

void* map_shared(std::size_t size) {
  void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) fail("cannot map shared memory");
  return memory;
}

unsigned long long fresh_seed() {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<unsigned long long>(now.tv_sec) * 1000003ull ^
         static_cast<unsigned long long>(now.tv_nsec) ^
         (static_cast<unsigned long long>(getpid()) << 40);
}

std::string make_scratch_prefix(const std::string& label) {
  std::filesystem::create_directories(SOAK_SCRATCH_ROOT);
  std::string pattern = std::string(SOAK_SCRATCH_ROOT) + "/" + label + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) fail("cannot make a scratch prefix " + pattern);
  setenv("WINEPREFIX", pattern.c_str(), 1);
  return pattern;
}

void remove_folder(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

ValueData string_data(const std::u16string& text) {
  ValueData data;
  data.type = REG_SZ;
  for (char16_t unit : text) {
    data.bytes += static_cast<char>(unit & 0xff);
    data.bytes += static_cast<char>(unit >> 8);
  }
  data.bytes.append(2, '\0');
  return data;
}

ValueData dword_data(DWORD number) {
  ValueData data;
  data.type = REG_DWORD;
  for (int shift = 0; shift < 32; shift += 8) data.bytes += static_cast<char>(number >> shift);
  return data;
}

std::string describe(const std::optional<ValueData>& data) {
  if (!data) return "(absent)";
  std::string text = "type " + std::to_string(data->type) + " bytes";
  char hex[4];
  for (unsigned char byte : data->bytes) {
    std::snprintf(hex, sizeof hex, " %02x", byte);
    text += hex;
  }
  return text;
}

std::u16string widen(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::string narrow(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    if (unit >= 0x20 && unit < 0x7f) {
      out += static_cast<char>(unit);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(unit));
      out += escaped;
    }
  }
  return out;
}

LONG create_key(const std::u16string& path) {
  HKEY key;
  LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) RegCloseKey(key);
  return status;
}

LONG set_value(HKEY key, const std::u16string& name, const ValueData& data) {
  return RegSetValueExW(key, name.c_str(), 0, data.type,
                        reinterpret_cast<const BYTE*>(data.bytes.data()),
                        static_cast<DWORD>(data.bytes.size()));
}

LONG set_value(const std::u16string& path, const std::u16string& name, const ValueData& data) {
  HKEY key;
  LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = set_value(key, name, data);
  RegCloseKey(key);
  return status;
}

std::optional<ValueData> query_value(const std::u16string& path, const std::u16string& name) {
  HKEY key;
  LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key);
  if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (status != ERROR_SUCCESS)
    fail("RegOpenKeyExW " + narrow(path) + ": " + std::to_string(status));
  ValueData data;
  DWORD size = 0;
  status = RegQueryValueExW(key, name.c_str(), nullptr, &data.type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    data.bytes.resize(size);
    status = RegQueryValueExW(key, name.c_str(), nullptr, &data.type,
                              reinterpret_cast<BYTE*>(data.bytes.data()), &size);
    data.bytes.resize(size);
  }
  RegCloseKey(key);
  if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
  if (status != ERROR_SUCCESS) {
    fail("RegQueryValueExW " + narrow(path) + " " + narrow(name) + ": " + std::to_string(status));
  }
  return data;
}

DWORD value_count(const std::u16string& path) {
  HKEY key;
  LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key);
  if (status == ERROR_FILE_NOT_FOUND) return 0;
  if (status != ERROR_SUCCESS)
    fail("RegOpenKeyExW " + narrow(path) + ": " + std::to_string(status));
  DWORD values = 0;
  status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                            nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS)
    fail("RegQueryInfoKeyW " + narrow(path) + ": " + std::to_string(status));
  return values;
}

double now_seconds() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double seconds_since(double start) { return now_seconds() - start; }

}  // namespace soak
