#include "wine_prefix.h"

#include <cstdlib>

namespace registry_unix {

std::string wine_prefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.wine";
}

std::string hive_path(const std::string& prefix, HiveId hive) {
  return prefix + (hive == HiveId::kUser ? "/user.reg" : "/system.reg");
}

std::string new_hive_header(HiveId hive) {
  const char* root =
      hive == HiveId::kUser ? "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000" : "REGISTRY\\\\Machine";
  return std::string("WINE REGISTRY Version 2\n;; All keys relative to ") + root +
         "\n\n#arch=win64\n";
}

}  // namespace registry_unix
