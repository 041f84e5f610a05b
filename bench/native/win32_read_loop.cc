#include "win32_read_loop.h"

#include <windows.h>

#include <string>

#include "napi-wrappers/call_frame.h"
#include "registry/text_conversion.h"

namespace {

bool readOnce(const WCHAR* subKey, const WCHAR* valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  BYTE data[4096];
  DWORD type = REG_NONE;
  DWORD size = sizeof(data);
  LSTATUS status = RegQueryValueExW(key, valueName, nullptr, &type, data, &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

}  // namespace

Napi::Value win32ReadLoop(const Napi::CallbackInfo& info) {
  using namespace registry_addon;
  WideString subKey = utf8ToWide(textArgument(info, 0));
  WideString valueName = utf8ToWide(textArgument(info, 1));
  std::uint32_t calls = numberArgument(info, 2);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  bool ok = true;
  for (std::uint32_t i = 0; i < calls; ++i) ok &= readOnce(subKey.c_str(), valueName.c_str());
  QueryPerformanceCounter(&end);
  if (!ok) throw Napi::Error::New(info.Env(), "the value cannot be read");
  double ns = double(end.QuadPart - start.QuadPart) * 1e9 / double(frequency.QuadPart);
  return Napi::Number::New(info.Env(), ns / calls);
}
