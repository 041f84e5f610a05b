// win32ReadLoop(subKey, valueName, calls): the bare Win32 read that getString makes under
// HKEY_CURRENT_USER (RegOpenKeyExW, RegQueryValueExW into a 4096-byte buffer, RegCloseKey),
// `calls` times in C++, timed with QueryPerformanceCounter. Returns ns per call; throws when
// a read fails.
#pragma once

#include <napi.h>

Napi::Value win32ReadLoop(const Napi::CallbackInfo& info);
