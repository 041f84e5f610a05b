// Registers the module while the shared object is loaded, as an ordinary static initialiser.
#include "napi-wrappers/module.h"

namespace {

const bool registered = (registerRegistryModule(), true);

}  // namespace
