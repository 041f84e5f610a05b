// The hives of the current prefix, parsed once per process and reused while their files are
// unchanged. All access goes through here under one mutex, so threads may share it.
#pragma once

#include <functional>

#include "hive.h"
#include "win32_api.h"
#include "wine_prefix.h"

namespace registry_unix {

// Calls `read` with the hive as its file now is, or with null when there is no such file.
LONG read_hive(HiveId id, const std::function<LONG(Hive*)>& read);

// Calls `change` with the hive as its file now is (a new, empty hive when there is none),
// under the hive's lock file, and writes the hive back durably when `change` reports that it
// changed it. Refused while a wineserver runs for the prefix (ERROR_SHARING_VIOLATION) and
// for a hive that did not parse whole (ERROR_BADDB).
LONG write_hive(HiveId id, const std::function<LONG(Hive&, bool& changed)>& change);

// The current time as a FILETIME, for key time stamps.
unsigned long long file_time_now();

}  // namespace registry_unix
