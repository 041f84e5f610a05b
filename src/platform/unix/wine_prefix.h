// Where a Wine prefix keeps its hives, and what a new hive file starts with.
#pragma once

#include <string>

namespace registry_unix {

enum class HiveId { kUser, kMachine };

// $WINEPREFIX when set and not empty, else $HOME/.wine; read anew at each call.
std::string wine_prefix();

std::string hive_path(const std::string& prefix, HiveId hive);

// The lines Wine writes before the first key of a hive.
std::string new_hive_header(HiveId hive);

}  // namespace registry_unix
