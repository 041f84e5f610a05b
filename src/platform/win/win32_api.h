// The Win32 declarations the module's registry code is written against: on Windows, the
// system's own.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
