// Whether a wineserver runs for a prefix. It holds the registry in memory and saves over the
// hive files when it exits, so a write made to the files meanwhile would be lost.
#pragma once

#include <string>

namespace registry_unix {

bool wineserver_running(const std::string& prefix);

}  // namespace registry_unix
