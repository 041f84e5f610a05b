// Hands the module record to the host. The platform's static initialiser calls it while the
// module file is being loaded, before the host calls anything else in the module.
#pragma once

extern "C" void registerRegistryModule();
