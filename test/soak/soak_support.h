// What the soak programs share: failing loudly, command-line flags, memory shared with child
// processes, a scratch prefix, value data, and registry calls through the Win32-style API.
#pragma once

#include <cstddef>
#include <new>
#include <optional>
#include <string>

#include "win32_api.h"

namespace soak {

// Prints "soak FAILED: <message>" and ends the process with status 1.
[[noreturn]] void fail(const std::string& message);

// The value of `--name <number>` in argv, or `fallback` when absent; a malformed or unknown
// flag fails.
struct Flags {
  Flags(int argc, char** argv);
  unsigned long long number(const std::string& name, unsigned long long fallback) const;

 private:
  int argc_;
  char** argv_;
};

// Zeroed memory that processes forked afterwards share with this one.
void* map_shared(std::size_t size);

// A `T` in such memory, where the parent and its children see each other's updates.
template <typename T>
T* make_shared_with_children() {
  return new (map_shared(sizeof(T))) T;
}

// A seed from the clock and the process id, for runs that were given none.
unsigned long long fresh_seed();

// A new empty folder under build/soak named after `label`, made the current WINEPREFIX.
std::string make_scratch_prefix(const std::string& label);
void remove_folder(const std::string& path);

struct ValueData {
  DWORD type = REG_NONE;
  std::string bytes;
  bool operator==(const ValueData& other) const {
    return type == other.type && bytes == other.bytes;
  }
  bool operator!=(const ValueData& other) const { return !(*this == other); }
};

ValueData string_data(const std::u16string& text);  // REG_SZ, terminating null included
ValueData dword_data(DWORD number);
std::string describe(const std::optional<ValueData>& data);

std::u16string widen(const std::string& ascii);
std::string narrow(const std::u16string& text);  // non-ASCII units as \uXXXX

// Registry calls on HKEY_CURRENT_USER sub-keys; each returns the first failing status.
LONG create_key(const std::u16string& path);
LONG set_value(HKEY key, const std::u16string& name, const ValueData& data);
LONG set_value(const std::u16string& path, const std::u16string& name, const ValueData& data);
// The value as the API reads it; nullopt when the key or the value is missing. Any other
// failing status fails the process.
std::optional<ValueData> query_value(const std::u16string& path, const std::u16string& name);
// The number of values of a key as the API counts them; 0 for a missing key.
DWORD value_count(const std::u16string& path);

double seconds_since(double start);
double now_seconds();  // monotonic

}  // namespace soak
