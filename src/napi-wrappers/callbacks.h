// The native callbacks behind the exported functions.
#pragma once

#include <napi.h>

namespace registry_addon {

Napi::Value getString(const Napi::CallbackInfo& info);
Napi::Value getKeyValues(const Napi::CallbackInfo& info);
Napi::Value getUInt32(const Napi::CallbackInfo& info);
Napi::Value setUInt32(const Napi::CallbackInfo& info);
Napi::Value setString(const Napi::CallbackInfo& info);
Napi::Value getRegistryKeyName(const Napi::CallbackInfo& info);
Napi::Value setBinaryValue(const Napi::CallbackInfo& info);
Napi::Value deleteKey(const Napi::CallbackInfo& info);

}  // namespace registry_addon
