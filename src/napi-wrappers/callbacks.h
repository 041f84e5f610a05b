// The native callbacks behind the exported functions.
#pragma once

#include <napi.h>

namespace registry_addon {

Napi::Value getRegistryKeyName(const Napi::CallbackInfo& info);

}  // namespace registry_addon
