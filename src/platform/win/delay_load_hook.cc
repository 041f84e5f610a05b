// Node-API is delay-loaded from "node.exe". Before the loader would load that file, this hook
// hands it the running executable instead, so the module binds to whichever host loaded it,
// whatever that host's file is called.
#include <windows.h>

#include <delayimp.h>

namespace {

bool equalsIgnoringAsciiCase(const char* name, const char* expected) {
  for (; *name != '\0' && *expected != '\0'; ++name, ++expected) {
    char a = (*name >= 'A' && *name <= 'Z') ? static_cast<char>(*name + ('a' - 'A')) : *name;
    if (a != *expected) return false;
  }
  return *name == *expected;
}

FARPROC WINAPI delayLoadNotify(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary) return nullptr;
  if (equalsIgnoringAsciiCase(info->szDll, "iojs.exe") ||
      equalsIgnoringAsciiCase(info->szDll, "node.exe")) {
    return reinterpret_cast<FARPROC>(GetModuleHandleA(nullptr));
  }
  return nullptr;
}

}  // namespace

extern "C" {
#if defined(_MSC_VER)
const PfnDliHook __pfnDliNotifyHook2 = delayLoadNotify;
#else
PfnDliHook __pfnDliNotifyHook2 = delayLoadNotify;
#endif
}
