// The benchmark's reference calls, as a Node-API module built like ours:
//   emptyCall(a, b, c): three strings converted as the registry functions convert theirs, then
//     nothing; returns undefined.
//   echoCall(text): one string converted and returned, as getRegistryKeyName does around its
//     hash.
//   win32ReadLoop(subKey, valueName, calls), Windows only: see win32_read_loop.h.
#include <napi.h>

#include "napi-wrappers/call_frame.h"
#ifdef _WIN32
#include "win32_read_loop.h"
#endif

namespace {

using registry_addon::guarded;
using registry_addon::textArgument;

Napi::Value emptyCall(const Napi::CallbackInfo& info) {
  std::string path = textArgument(info, 0);
  std::string valueName = textArgument(info, 1);
  std::string defaultText = textArgument(info, 2);
  return info.Env().Undefined();
}

Napi::Value echoCall(const Napi::CallbackInfo& info) {
  return registry_addon::stringResult(info.Env(), textArgument(info, 0));
}

Napi::Object init(Napi::Env env, Napi::Object exports) {
  exports.Set("emptyCall", Napi::Function::New(env, guarded<emptyCall>));
  exports.Set("echoCall", Napi::Function::New(env, guarded<echoCall>));
#ifdef _WIN32
  exports.Set("win32ReadLoop", Napi::Function::New(env, guarded<win32ReadLoop>));
#endif
  return exports;
}

}  // namespace

NODE_API_MODULE(bench_addon, init)
