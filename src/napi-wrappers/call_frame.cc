#include "napi-wrappers/call_frame.h"

namespace registry_addon {

std::string textArgument(const Napi::CallbackInfo& info, std::size_t index) {
  // Not checked with IsString(): the conversion itself fails with napi_string_expected.
  return info[index].As<Napi::String>().Utf8Value();
}

std::uint32_t numberArgument(const Napi::CallbackInfo& info, std::size_t index) {
  return info[index].As<Napi::Number>().Uint32Value();
}

Napi::Value stringResult(Napi::Env env, std::string_view text) {
  return Napi::String::New(env, text.data(), text.size());
}

Napi::Value numberResult(Napi::Env env, std::uint32_t number) {
  return Napi::Number::New(env, static_cast<double>(number));
}

Napi::Value booleanResult(Napi::Env env, bool flag) { return Napi::Boolean::New(env, flag); }

static Napi::Array stringArray(Napi::Env env, const std::vector<std::string>& items) {
  Napi::Array array = Napi::Array::New(env, items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    array.Set(static_cast<std::uint32_t>(i), stringResult(env, items[i]));
  }
  return array;
}

Napi::Value stringListsResult(Napi::Env env, const std::vector<std::string>& names,
                              const std::vector<std::string>& data) {
  Napi::Array nameArray = stringArray(env, names);
  Napi::Array dataArray = stringArray(env, data);
  Napi::Array result = Napi::Array::New(env, 2);
  result.Set(0u, nameArray);
  result.Set(1u, dataArray);
  return result;
}

}  // namespace registry_addon
