// Registers the module while the DLL is attached: the C runtime calls every pointer placed in
// its table of static initialisers, section .CRT$XCU. The cell is the file's only export.
#include "napi-wrappers/module.h"

extern "C" {

static void registerAtLoad() { registerRegistryModule(); }

#if defined(_MSC_VER)
#pragma section(".CRT$XCU", read)
__declspec(dllexport, allocate(".CRT$XCU")) void (*_register_registry_)() = registerAtLoad;
#else
__declspec(dllexport)
    __attribute__((section(".CRT$XCU"), used)) void (*_register_registry_)() = registerAtLoad;
#endif
}
