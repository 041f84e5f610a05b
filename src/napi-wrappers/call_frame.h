// The frame every exported function runs in: arguments read and converted one at a time, in
// order, without coercion; results built with explicit lengths. A failed Node-API call throws
// Napi::Error, which the callback wrapper turns into the JavaScript exception.
#pragma once

#include <napi.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace registry_addon {

// Argument `index` (from 0) as UTF-8, zero bytes included; `undefined` when it is missing.
// Anything but a string throws a TypeError.
std::string textArgument(const Napi::CallbackInfo& info, std::size_t index);

// Argument `index` as an unsigned 32-bit number (ToUint32); anything but a number throws a
// TypeError.
std::uint32_t numberArgument(const Napi::CallbackInfo& info, std::size_t index);

Napi::Value stringResult(Napi::Env env, std::string_view text);
Napi::Value numberResult(Napi::Env env, std::uint32_t number);
Napi::Value booleanResult(Napi::Env env, bool flag);
// [names, data]: two arrays of strings, the first built completely before the second.
Napi::Value stringListsResult(Napi::Env env, const std::vector<std::string>& names,
                              const std::vector<std::string>& data);

using Callback = Napi::Value (*)(const Napi::CallbackInfo&);

// Runs `callback` so that only Napi::Error leaves it: any other C++ exception reaching the
// host would abort the process, so running out of memory (or any other failure of the
// standard library) becomes a JavaScript Error.
template <Callback callback>
Napi::Value guarded(const Napi::CallbackInfo& info) {
  try {
    return callback(info);
  } catch (const Napi::Error&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw Napi::Error::New(info.Env(), "Out of memory");
  } catch (const std::exception& error) {
    throw Napi::Error::New(info.Env(), error.what());
  }
}

}  // namespace registry_addon
