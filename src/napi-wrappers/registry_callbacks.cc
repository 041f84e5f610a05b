// Each callback converts its arguments in order, before any registry work, then builds its
// result from what the registry operation returned.
#include "napi-wrappers/call_frame.h"
#include "napi-wrappers/callbacks.h"
#include "registry/registry_operations.h"

namespace registry_addon {

Napi::Value getString(const Napi::CallbackInfo& info) {
  std::string path = textArgument(info, 0);
  std::string valueName = textArgument(info, 1);
  std::string defaultText = textArgument(info, 2);
  return stringResult(info.Env(), readString(path, valueName, defaultText));
}

Napi::Value getKeyValues(const Napi::CallbackInfo& info) {
  std::string path = textArgument(info, 0);
  ValueList values = listValues(path);
  return stringListsResult(info.Env(), values.names, values.data);
}

Napi::Value getUInt32(const Napi::CallbackInfo& info) {
  std::string path = textArgument(info, 0);
  std::string valueName = textArgument(info, 1);
  std::uint32_t defaultValue = numberArgument(info, 2);
  return numberResult(info.Env(), readNumber(path, valueName, defaultValue));
}

Napi::Value setUInt32(const Napi::CallbackInfo& info) {
  std::string path = textArgument(info, 0);
  std::string valueName = textArgument(info, 1);
  std::uint32_t number = numberArgument(info, 2);
  return booleanResult(info.Env(), storeNumber(path, valueName, number));
}

Napi::Value setString(const Napi::CallbackInfo& info) {
  std::string path = textArgument(info, 0);
  std::string valueName = textArgument(info, 1);
  std::string text = textArgument(info, 2);
  return booleanResult(info.Env(), storeString(path, valueName, text));
}

Napi::Value setBinaryValue(const Napi::CallbackInfo& info) {
  std::string path = textArgument(info, 0);
  std::string valueName = textArgument(info, 1);
  std::string text = textArgument(info, 2);
  return booleanResult(info.Env(), storeBinary(path, valueName, text));
}

Napi::Value deleteKey(const Napi::CallbackInfo& info) {
  std::string path = textArgument(info, 0);
  std::string valueName = textArgument(info, 1);
  return booleanResult(info.Env(), removeValue(path, valueName));
}

}  // namespace registry_addon
