#include "napi-wrappers/call_frame.h"
#include "napi-wrappers/callbacks.h"
#include "value_names/hashed_value_name.h"

namespace registry_addon {

Napi::Value getRegistryKeyName(const Napi::CallbackInfo& info) {
  std::string settingName = textArgument(info, 0);
  return stringResult(info.Env(), hashedValueName(settingName));
}

}  // namespace registry_addon
