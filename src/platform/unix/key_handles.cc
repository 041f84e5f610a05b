#include "key_handles.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "name_case.h"

namespace registry_unix {
namespace {

constexpr REGSAM kAllAccess = 0xF003F;
constexpr std::uintptr_t kFirstHandle = 0x1000;
// The longest key name component, in UTF-16 units, that Wine opens or creates.
constexpr std::size_t kMaxKeyNameLength = 256;

std::mutex handles_mutex;
std::uintptr_t next_handle = kFirstHandle;

std::unordered_map<std::uintptr_t, std::shared_ptr<const KeyRef>>& handles() {
  static std::unordered_map<std::uintptr_t, std::shared_ptr<const KeyRef>> open;
  return open;
}

std::shared_ptr<const KeyRef> root(HiveId hive, const std::u16string& path) {
  KeyRef key;
  key.hive = hive;
  key.path = path;
  key.folded = fold_name(path);
  key.access = kAllAccess;
  key.is_root = true;
  return std::make_shared<const KeyRef>(std::move(key));
}

std::shared_ptr<const KeyRef> predefined(HKEY key) {
  // HKEY_CLASSES_ROOT is the machine's Software\Classes.
  static const auto classes_root = root(HiveId::kMachine, u"Software\\Classes");
  static const auto current_user = root(HiveId::kUser, u"");
  static const auto local_machine = root(HiveId::kMachine, u"");
  if (key == HKEY_CLASSES_ROOT) return classes_root;
  if (key == HKEY_CURRENT_USER) return current_user;
  if (key == HKEY_LOCAL_MACHINE) return local_machine;
  return nullptr;
}

std::size_t longest_component(std::u16string_view path) {
  std::size_t longest = 0;
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = std::min(path.find(u'\\', start), path.size());
    longest = std::max(longest, end - start);
    start = end + 1;
  }
  return longest;
}

}  // namespace

std::shared_ptr<const KeyRef> resolve_handle(HKEY key) {
  if (auto root_key = predefined(key)) return root_key;
  std::lock_guard<std::mutex> guard(handles_mutex);
  auto it = handles().find(reinterpret_cast<std::uintptr_t>(key));
  return it == handles().end() ? nullptr : it->second;
}

HKEY open_handle(KeyRef key) {
  std::lock_guard<std::mutex> guard(handles_mutex);
  // Handle values are never reused, so a closed handle cannot name another key later.
  std::uintptr_t value = next_handle;
  next_handle += 4;
  handles().emplace(value, std::make_shared<const KeyRef>(std::move(key)));
  return reinterpret_cast<HKEY>(value);
}

bool close_handle(HKEY key) {
  if (predefined(key)) return true;
  std::lock_guard<std::mutex> guard(handles_mutex);
  return handles().erase(reinterpret_cast<std::uintptr_t>(key)) == 1;
}

LONG sub_key_of(const KeyRef& parent, const WCHAR* sub_key, KeyRef& child) {
  child = parent;
  if (sub_key == nullptr || *sub_key == u'\0') return ERROR_SUCCESS;
  std::u16string_view path(sub_key);
  if (path.front() == u'\\') return ERROR_BAD_PATHNAME;
  if (path.back() == u'\\') path.remove_suffix(1);
  if (path.empty() || path.back() == u'\\' || path.find(u"\\\\") != std::u16string_view::npos) {
    return ERROR_BAD_PATHNAME;
  }
  if (longest_component(path) > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
  if (!child.path.empty()) child.path += u'\\';
  child.path += path;
  child.folded = fold_name(child.path);
  child.is_root = false;
  return ERROR_SUCCESS;
}

}  // namespace registry_unix
