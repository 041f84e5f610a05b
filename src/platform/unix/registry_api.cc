// The Win32 registry calls the module makes, over the hives of the current Wine prefix.
#include <algorithm>
#include <cstring>

#include "hive_store.h"
#include "key_handles.h"
#include "win32_api.h"

using registry_unix::Hive;
using registry_unix::HiveKey;
using registry_unix::HiveValue;
using registry_unix::KeyRef;

namespace {

constexpr REGSAM kViewFlags = KEY_WOW64_64KEY | KEY_WOW64_32KEY;
// The longest value name, in UTF-16 units, that Wine stores.
constexpr std::size_t kMaxValueNameLength = 16383;

std::u16string name_of(LPCWSTR name) { return name != nullptr ? name : u""; }

bool key_exists(Hive* hive, const KeyRef& key) {
  return key.is_root || (hive != nullptr && hive->exists(key.folded));
}

// Finds the key a handle names in the current hive and calls `use` with it. A key that no
// longer exists is ERROR_KEY_DELETED; a key with no block of its own has no values.
template <typename Use>
LONG with_key(const KeyRef& ref, Use use) {
  return registry_unix::read_hive(ref.hive, [&](Hive* hive) -> LONG {
    if (!key_exists(hive, ref)) return ERROR_KEY_DELETED;
    HiveKey* key = hive != nullptr ? hive->find(ref.folded) : nullptr;
    return use(hive, key);
  });
}

// Win32's contract for returning bytes: a size query without a buffer, ERROR_MORE_DATA with the
// size needed when the buffer is too small.
LONG deliver_data(const std::string& data, LPBYTE buffer, LPDWORD size) {
  if (size == nullptr) return ERROR_SUCCESS;
  DWORD needed = static_cast<DWORD>(data.size());
  if (buffer != nullptr && *size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (buffer != nullptr) std::memcpy(buffer, data.data(), data.size());
  *size = needed;
  return ERROR_SUCCESS;
}

LONG open_checked(HKEY parent_key, LPCWSTR sub_key, REGSAM access, KeyRef& child) {
  auto parent = registry_unix::resolve_handle(parent_key);
  if (!parent) return ERROR_INVALID_HANDLE;
  if (LONG status = registry_unix::sub_key_of(*parent, sub_key, child)) return status;
  // There is one registry view; both view flags name it.
  child.access = access & ~kViewFlags;
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR sub_key, DWORD, REGSAM access, PHKEY result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  KeyRef child;
  if (LONG status = open_checked(key, sub_key, access, child)) return status;
  LONG status = registry_unix::read_hive(child.hive, [&](Hive* hive) -> LONG {
    return key_exists(hive, child) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
  if (status == ERROR_SUCCESS) *result = registry_unix::open_handle(std::move(child));
  return status;
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR sub_key, DWORD, LPWSTR, DWORD, REGSAM access,
                        LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  auto parent = registry_unix::resolve_handle(key);
  KeyRef child;
  if (LONG status = open_checked(key, sub_key, access, child)) return status;
  bool existed = false;
  LONG status = registry_unix::read_hive(child.hive, [&](Hive* hive) -> LONG {
    existed = key_exists(hive, child);
    return ERROR_SUCCESS;
  });
  if (!existed) {
    if ((parent->access & KEY_CREATE_SUB_KEY) == 0) return ERROR_ACCESS_DENIED;
    unsigned long long now = registry_unix::file_time_now();
    // Intermediate keys need no block of their own: a key exists when one below it does.
    status = registry_unix::write_hive(child.hive, [&](Hive& hive, bool& changed) -> LONG {
      existed = hive.exists(child.folded);
      if (!existed) hive.obtain(child.path, now);
      changed = !existed;
      return ERROR_SUCCESS;
    });
  }
  if (status != ERROR_SUCCESS) return status;
  if (disposition != nullptr)
    *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *result = registry_unix::open_handle(std::move(child));
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD data_size) {
  if (reserved != nullptr || (data != nullptr && data_size == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  auto ref = registry_unix::resolve_handle(key);
  if (!ref) return ERROR_INVALID_HANDLE;
  if ((ref->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
  std::u16string name = name_of(value_name);
  return with_key(*ref, [&](Hive*, HiveKey* found) -> LONG {
    const HiveValue* value = found != nullptr ? found->find_value(name) : nullptr;
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value->type;
    return deliver_data(value->data, data, data_size);
  });
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR value_name, DWORD, DWORD type, const BYTE* data,
                       DWORD data_size) {
  auto ref = registry_unix::resolve_handle(key);
  if (!ref) return ERROR_INVALID_HANDLE;
  if ((ref->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
  if (data == nullptr && data_size > 0) return ERROR_NOACCESS;
  HiveValue value;
  value.name = name_of(value_name);
  if (value.name.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
  value.type = type;
  if (data_size > 0) value.data.assign(reinterpret_cast<const char*>(data), data_size);
  unsigned long long now = registry_unix::file_time_now();
  return registry_unix::write_hive(ref->hive, [&](Hive& hive, bool& changed) -> LONG {
    if (!key_exists(&hive, *ref)) return ERROR_KEY_DELETED;
    hive.obtain(ref->path, now).set_value(std::move(value), now);
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR value_name) {
  auto ref = registry_unix::resolve_handle(key);
  if (!ref) return ERROR_INVALID_HANDLE;
  if ((ref->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
  std::u16string name = name_of(value_name);
  // A missing value needs no lock and no write.
  LONG status = with_key(*ref, [&](Hive*, HiveKey* found) -> LONG {
    return found != nullptr && found->find_value(name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
  if (status != ERROR_SUCCESS) return status;
  unsigned long long now = registry_unix::file_time_now();
  return registry_unix::write_hive(ref->hive, [&](Hive& hive, bool& changed) -> LONG {
    HiveKey* found = hive.find(ref->folded);
    changed = found != nullptr && found->delete_value(name, now);
    return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

LSTATUS RegQueryInfoKeyW(HKEY key, LPWSTR key_class, LPDWORD class_length, LPDWORD reserved,
                         LPDWORD sub_keys, LPDWORD max_sub_key_length, LPDWORD max_class_length,
                         LPDWORD values, LPDWORD max_value_name_length, LPDWORD max_value_length,
                         LPDWORD security_descriptor_size, PFILETIME last_write_time) {
  if (reserved != nullptr || (key_class != nullptr && class_length == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  auto ref = registry_unix::resolve_handle(key);
  if (!ref) return ERROR_INVALID_HANDLE;
  if ((ref->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
  return with_key(*ref, [&](Hive* hive, HiveKey* found) -> LONG {
    // Keys carry no class here.
    if (key_class != nullptr && *class_length > 0) *key_class = u'\0';
    if (class_length != nullptr) *class_length = 0;
    if (max_class_length != nullptr) *max_class_length = 0;
    if (security_descriptor_size != nullptr) *security_descriptor_size = 0;
    if (sub_keys != nullptr || max_sub_key_length != nullptr) {
      auto names =
          hive != nullptr ? hive->sub_key_names(ref->folded) : std::vector<std::u16string>();
      size_t longest = 0;
      for (const auto& name : names) longest = std::max(longest, name.size());
      if (sub_keys != nullptr) *sub_keys = static_cast<DWORD>(names.size());
      if (max_sub_key_length != nullptr) *max_sub_key_length = static_cast<DWORD>(longest);
    }
    size_t count = found != nullptr ? found->value_count() : 0;
    size_t longest_name = 0, longest_data = 0;
    for (size_t i = 0; i < count; ++i) {
      const HiveValue* value = found->value_at(i);
      longest_name = std::max(longest_name, value->name.size());
      longest_data = std::max(longest_data, value->data.size());
    }
    if (values != nullptr) *values = static_cast<DWORD>(count);
    if (max_value_name_length != nullptr) *max_value_name_length = DWORD(longest_name);
    if (max_value_length != nullptr) *max_value_length = DWORD(longest_data);
    if (last_write_time != nullptr) {
      unsigned long long time = found != nullptr ? found->last_write_time() : 0;
      last_write_time->dwLowDateTime = DWORD(time & 0xFFFFFFFFu);
      last_write_time->dwHighDateTime = DWORD(time >> 32);
    }
    return ERROR_SUCCESS;
  });
}

LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR value_name, LPDWORD value_name_length,
                      LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD data_size) {
  if (value_name == nullptr || value_name_length == nullptr || reserved != nullptr ||
      (data != nullptr && data_size == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  auto ref = registry_unix::resolve_handle(key);
  if (!ref) return ERROR_INVALID_HANDLE;
  if ((ref->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
  return with_key(*ref, [&](Hive*, HiveKey* found) -> LONG {
    const HiveValue* value = found != nullptr ? found->value_at(index) : nullptr;
    if (value == nullptr) return ERROR_NO_MORE_ITEMS;
    // The name and its NUL must fit; when they do not, the length needed (NUL included) is
    // reported and nothing is written.
    DWORD name_length = static_cast<DWORD>(value->name.size());
    if (name_length >= *value_name_length) {
      *value_name_length = name_length + 1;
      return ERROR_MORE_DATA;
    }
    std::copy(value->name.begin(), value->name.end(), value_name);
    value_name[name_length] = u'\0';
    *value_name_length = name_length;
    if (type != nullptr) *type = value->type;
    return deliver_data(value->data, data, data_size);
  });
}

LSTATUS RegCloseKey(HKEY key) {
  return registry_unix::close_handle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
