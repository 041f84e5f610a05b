// Reading a hive file and replacing it durably: a temporary file beside it, synced, renamed
// over it, the folder synced. A crash leaves the old file or the new one, never a torn one.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

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

// True while the file's modification time is too recent to tell it from a file written later:
// file systems keep times in coarse ticks (a kernel tick on older Linux, 2 s on FAT), and a
// replacement written within the same tick may get the freed inode number and the same size.
bool modified_recently(const FileIdentity& identity);

// A 64-bit fingerprint of a file's bytes, to confirm an identity that matched too recently.
std::uint64_t content_fingerprint(std::string_view text);

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
