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
  std::uint64_t fingerprint = 0;  // of the file's bytes
  bool recent = false;            // the identity alone cannot vouch for the content
  long long confirmed_at_ns = 0;  // when the content last matched, on the monotonic clock
  std::unique_ptr<Hive> hive;     // null for a missing or empty file
};

// How long a reader may go on with a recent file's content before looking at the bytes again.
constexpr long long kReadConfirmationIntervalNs = 10'000'000;

std::mutex cache_mutex;

long long monotonic_ns() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

std::map<std::string, CachedHive>& cache() {
  static std::map<std::string, CachedHive> hives;
  return hives;
}

void remember_file(CachedHive& entry, const FileIdentity& identity, std::uint64_t fingerprint) {
  entry.present = true;
  entry.identity = identity;
  entry.fingerprint = fingerprint;
  entry.recent = modified_recently(identity);
  entry.confirmed_at_ns = monotonic_ns();
}

// Whether the entry may be used on its identity alone. A writer must never work on a stale
// copy; a reader may, for a moment, as if it had read just before the other write.
bool trusted(const CachedHive& entry, bool writing) {
  if (!entry.recent) return true;
  return !writing && monotonic_ns() - entry.confirmed_at_ns < kReadConfirmationIntervalNs;
}

// The cache entry brought up to date with the file. kUnreadable when the file exists but
// cannot be read. An unchanged identity is trusted once the file's time is old enough;
// before that the content decides.
FileState refresh(const std::string& path, bool writing, CachedHive*& entry) {
  entry = &cache()[path];
  FileIdentity identity;
  FileState state = stat_file(path, identity);
  bool same_identity =
      state == FileState::kPresent && entry->present && entry->identity == identity;
  if (same_identity && trusted(*entry, writing)) return state;
  std::string text;
  if (state == FileState::kPresent) state = read_file(path, text, identity);
  if (state != FileState::kPresent) {
    entry->present = false;
    entry->hive.reset();
    return state;
  }
  std::uint64_t fingerprint = content_fingerprint(text);
  bool unchanged =
      same_identity && entry->identity == identity && entry->fingerprint == fingerprint;
  remember_file(*entry, identity, fingerprint);
  if (unchanged) return state;
  entry->hive.reset();
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
  refresh(path, false, entry);
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
  if (refresh(path, true, entry) == FileState::kUnreadable) return ERROR_ACCESS_DENIED;
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
  std::string text = keep->text();
  status = replace_file(path, text, written);
  if (status != ERROR_SUCCESS) return status;
  remember_file(*entry, written, content_fingerprint(text));
  entry->hive = std::move(keep);
  return ERROR_SUCCESS;
}

}  // namespace registry_unix
