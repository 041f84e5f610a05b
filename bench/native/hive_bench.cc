// Costs of the Linux registry layer on the hives of the prefix in WINEPREFIX, each printed next
// to a plain read() of system.reg in the same run. Prints one JSON line:
// {"readNs":..,"coldNs":..,"cachedNs":..,"writeNs":..} (medians, nanoseconds).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win32_api.h"

namespace {

using Clock = std::chrono::steady_clock;

double nanosecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
}

double median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

const char16_t kKey[] = u"Software\\Microsoft\\Windows NT\\CurrentVersion";
const char16_t kValue[] = u"CurrentVersion";

bool openQueryClose() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  BYTE data[4096];
  DWORD type = 0;
  DWORD size = sizeof data;
  LSTATUS status = RegQueryValueExW(key, kValue, nullptr, &type, data, &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

double plainRead(const std::string& file) {
  std::vector<double> samples;
  std::vector<char> buffer(1 << 22);
  for (int i = 0; i < 21; ++i) {
    Clock::time_point start = Clock::now();
    int fd = open(file.c_str(), O_RDONLY);
    while (read(fd, buffer.data(), buffer.size()) > 0) {
    }
    close(fd);
    samples.push_back(nanosecondsSince(start));
  }
  return median(samples);
}

double cachedReads() {
  std::vector<double> samples;
  for (int round = 0; round < 11; ++round) {
    const int calls = 20000;
    Clock::time_point start = Clock::now();
    for (int i = 0; i < calls; ++i) openQueryClose();
    samples.push_back(nanosecondsSince(start) / calls);
  }
  return median(samples);
}

double writes() {
  std::vector<double> samples;
  for (int i = 0; i < 15; ++i) {
    Clock::time_point start = Clock::now();
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\registry-addon-bench", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return -1;
    }
    const DWORD number = static_cast<DWORD>(i);
    LSTATUS status = RegSetValueExW(key, u"counter", 0, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return -1;
    samples.push_back(nanosecondsSince(start));
  }
  return median(samples);
}

}  // namespace

int main() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix == nullptr) {
    std::fprintf(stderr, "set WINEPREFIX to a prefix made by wineboot\n");
    return 2;
  }
  Clock::time_point start = Clock::now();
  if (!openQueryClose()) {
    std::fprintf(stderr, "no CurrentVersion value in %s/system.reg\n", prefix);
    return 1;
  }
  const double cold = nanosecondsSince(start);
  const double cached = cachedReads();
  const double plain = plainRead(std::string(prefix) + "/system.reg");
  const double write = writes();
  std::printf("{\"readNs\":%.0f,\"coldNs\":%.0f,\"cachedNs\":%.1f,\"writeNs\":%.0f}\n", plain, cold,
              cached, write);
  return 0;
}
