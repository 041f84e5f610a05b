// Reading a hive file and replacing it durably: a temporary file beside it, synced, renamed
// over it, the folder synced. A crash leaves the old file or the new one, never a torn one.
#pragma once

#include <sys/types.h>

#include <string>

#include "win32_api.h"

namespace registry_unix {

// What tells a changed file from an unchanged one.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long mtime_seconds = 0;
  long mtime_nanoseconds = 0;
  bool operator==(const FileIdentity& other) const;
};

enum class FileState { kPresent, kMissing, kUnreadable };

FileState stat_file(const std::string& path, FileIdentity& identity);
FileState read_file(const std::string& path, std::string& text, FileIdentity& identity);

// Replaces the file with `text`, keeping the old file's mode (a new file gets 0666 less the
// umask). Returns a Win32 status.
LONG replace_file(const std::string& path, const std::string& text, FileIdentity& written);

// Creates the folder and the folders above it.
bool make_folders(const std::string& path);

// An exclusive lock on "<hive>.lock" beside a hive, held from reading the hive to replacing it,
// so concurrent writers, in this process or others, lose no update.
class HiveLock {
 public:
  explicit HiveLock(const std::string& hive_path);
  ~HiveLock();
  HiveLock(const HiveLock&) = delete;
  HiveLock& operator=(const HiveLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace registry_unix
