// The module record, its registration with the host, and the export table.
#include "napi-wrappers/module.h"

#include <cstddef>
#include <new>
#include <string>

#include "napi-wrappers/call_frame.h"
#include "napi-wrappers/callbacks.h"

namespace registry_addon {
namespace {

struct ExportEntry {
  const char* name;
  std::size_t nameLength;
  Callback callback;
};

// Installed in this order; the properties enumerate in it.
constexpr ExportEntry exportTable[] = {
    {"getString", 9, guarded<getString>},
    {"getKeyValues", 12, guarded<getKeyValues>},
    {"getUInt32", 9, guarded<getUInt32>},
    {"setUInt32", 9, guarded<setUInt32>},
    {"setString", 9, guarded<setString>},
    {"getRegistryKeyName", 18, guarded<getRegistryKeyName>},
    {"setBinaryValue", 14, guarded<setBinaryValue>},
    {"deleteKey", 9, guarded<deleteKey>},
};

constexpr bool nameLengthsMatch() {
  for (const ExportEntry& entry : exportTable) {
    if (std::char_traits<char>::length(entry.name) != entry.nameLength) return false;
  }
  return true;
}
static_assert(nameLengthsMatch(), "each export's key length is its name's byte count");

Napi::Object init(Napi::Env env, Napi::Object exports) {
  try {
    for (const ExportEntry& entry : exportTable) {
      Napi::String key = Napi::String::New(env, entry.name, entry.nameLength);
      Napi::Function function = Napi::Function::New(env, entry.callback);
      exports.Set(key, function);
    }
  } catch (const std::bad_alloc&) {
    throw Napi::Error::New(env, "Out of memory");
  }
  return exports;
}

napi_value registerFunction(napi_env env, napi_value exports) {
  return Napi::RegisterModule(env, exports, init);
}

napi_module moduleRecord = {
    1,                 // nm_version
    0,                 // nm_flags
    __FILE__,          // nm_filename
    registerFunction,  // nm_register_func
    "registry",        // nm_modname
    nullptr,           // nm_priv
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace
}  // namespace registry_addon

extern "C" void registerRegistryModule() { napi_module_register(&registry_addon::moduleRecord); }
