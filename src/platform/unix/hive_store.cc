#include "hive_store.h"

#include <time.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "hive_file.h"
#include "wineserver_probe.h"

namespace registry_unix {
namespace {

struct CachedHive {
  bool present = false;
  FileIdentity identity;
  std::unique_ptr<Hive> hive;  // null for a missing or empty file
};

std::mutex cache_mutex;

std::map<std::string, CachedHive>& cache() {
  static std::map<std::string, CachedHive> hives;
  return hives;
}

// The cache entry brought up to date with the file. kUnreadable when the file exists but
// cannot be read.
FileState refresh(const std::string& path, CachedHive*& entry) {
  entry = &cache()[path];
  FileIdentity identity;
  FileState state = stat_file(path, identity);
  if (state == FileState::kPresent && entry->present && entry->identity == identity) return state;
  entry->present = false;
  entry->hive.reset();
  if (state != FileState::kPresent) return state;
  std::string text;
  state = read_file(path, text, identity);
  if (state != FileState::kPresent) return state;
  entry->present = true;
  entry->identity = identity;
  // An empty file holds nothing to keep; it is treated like a missing one.
  if (!text.empty()) entry->hive = Hive::parse(std::move(text));
  return state;
}

}  // namespace

unsigned long long file_time_now() {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return 116444736000000000ull + static_cast<unsigned long long>(now.tv_sec) * 10000000ull +
         static_cast<unsigned long long>(now.tv_nsec) / 100;
}

LONG read_hive(HiveId id, const std::function<LONG(Hive*)>& read) {
  std::string path = hive_path(wine_prefix(), id);
  std::lock_guard<std::mutex> guard(cache_mutex);
  CachedHive* entry;
  refresh(path, entry);
  return read(entry->hive.get());
}

LONG write_hive(HiveId id, const std::function<LONG(Hive&, bool& changed)>& change) {
  std::string prefix = wine_prefix();
  std::string path = hive_path(prefix, id);
  if (wineserver_running(prefix)) return ERROR_SHARING_VIOLATION;
  if (!make_folders(prefix)) return ERROR_ACCESS_DENIED;
  HiveLock lock(path);
  if (!lock.held()) return ERROR_ACCESS_DENIED;
  std::lock_guard<std::mutex> guard(cache_mutex);
  CachedHive* entry;
  if (refresh(path, entry) == FileState::kUnreadable) return ERROR_ACCESS_DENIED;
  if (entry->hive && !entry->hive->well_formed()) return ERROR_BADDB;
  bool is_new = !entry->hive;
  std::unique_ptr<Hive> created = is_new ? Hive::create(new_hive_header(id)) : nullptr;
  Hive& hive = is_new ? *created : *entry->hive;
  bool changed = false;
  LONG status = change(hive, changed);
  if (!changed) return status;
  // A changed model no longer matches its file until the write succeeds.
  entry->present = false;
  std::unique_ptr<Hive> keep = is_new ? std::move(created) : std::move(entry->hive);
  if (status != ERROR_SUCCESS) return status;
  if (wineserver_running(prefix)) return ERROR_SHARING_VIOLATION;
  FileIdentity written;
  status = replace_file(path, keep->text(), written);
  if (status != ERROR_SUCCESS) return status;
  entry->present = true;
  entry->identity = written;
  entry->hive = std::move(keep);
  return ERROR_SUCCESS;
}

}  // namespace registry_unix
