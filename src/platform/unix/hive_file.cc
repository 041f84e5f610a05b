#include "hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <time.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace registry_unix {
namespace {

constexpr int kTemporaryNameAttempts = 1000;
constexpr long long kCoarsestTimeTickNs = 2'000'000'000;

FileIdentity identity_of(const struct stat& info) {
  FileIdentity identity;
  identity.device = info.st_dev;
  identity.inode = info.st_ino;
  identity.size = info.st_size;
  identity.mtime_seconds = info.st_mtim.tv_sec;
  identity.mtime_nanoseconds = info.st_mtim.tv_nsec;
  return identity;
}

LONG status_of_errno() {
  return errno == EACCES || errno == EPERM || errno == EROFS ? ERROR_ACCESS_DENIED
                                                             : ERROR_WRITE_FAULT;
}

bool write_all(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t count = write(fd, text.data() + done, text.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    done += static_cast<size_t>(count);
  }
  return true;
}

std::string folder_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string temporary_name(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

bool sync_folder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}

}  // namespace

bool FileIdentity::operator==(const FileIdentity& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         mtime_seconds == other.mtime_seconds && mtime_nanoseconds == other.mtime_nanoseconds;
}

bool modified_recently(const FileIdentity& identity) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  long long age_ns = (now.tv_sec - identity.mtime_seconds) * 1'000'000'000LL +
                     (now.tv_nsec - identity.mtime_nanoseconds);
  return age_ns < kCoarsestTimeTickNs;
}

std::uint64_t content_fingerprint(std::string_view text) {
  // Each step is a bijection of the running value for a given word, so texts of one length
  // that differ in a single word never share a fingerprint.
  std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ text.size();
  size_t at = 0;
  for (; at + sizeof(std::uint64_t) <= text.size(); at += sizeof(std::uint64_t)) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, sizeof word);
    hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 32;
  }
  for (; at < text.size(); ++at) {
    hash = (hash ^ static_cast<unsigned char>(text[at])) * 0x100000001B3ull;
  }
  return hash;
}

FileState stat_file(const std::string& path, FileIdentity& identity) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? FileState::kMissing : FileState::kUnreadable;
  }
  identity = identity_of(info);
  return FileState::kPresent;
}

FileState read_file(const std::string& path, std::string& text, FileIdentity& identity) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return errno == ENOENT || errno == ENOTDIR ? FileState::kMissing : FileState::kUnreadable;
  struct stat info;
  FileState state = FileState::kUnreadable;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    text.resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < text.size()) {
      ssize_t count = read(fd, &text[done], text.size() - done);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) break;
      done += static_cast<size_t>(count);
    }
    // A file that grew or shrank while read is taken as far as it was read.
    text.resize(done);
    identity = identity_of(info);
    state = FileState::kPresent;
  }
  close(fd);
  return state;
}

LONG replace_file(const std::string& path, const std::string& text, FileIdentity& written) {
  struct stat old_info;
  bool had_file = stat(path.c_str(), &old_info) == 0;
  std::string temporary;
  int fd = -1;
  // A writer killed before its rename leaves its temporary file; a later process with the same
  // pid takes the next name.
  for (int attempt = 0; fd < 0 && attempt < kTemporaryNameAttempts; ++attempt) {
    temporary = temporary_name(path);
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return status_of_errno();
  bool ok = true;
  if (had_file) {
    ok = fchmod(fd, old_info.st_mode & 07777) == 0;
    if (ok && (old_info.st_uid != geteuid() || old_info.st_gid != getegid())) {
      // Only a privileged writer can keep another owner; it then does.
      (void)!fchown(fd, old_info.st_uid, old_info.st_gid);
    }
  }
  struct stat new_info;
  ok = ok && write_all(fd, text) && fsync(fd) == 0 && fstat(fd, &new_info) == 0;
  LONG status = ok ? ERROR_SUCCESS : status_of_errno();
  close(fd);
  if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    status = status_of_errno();
  }
  if (!ok) {
    unlink(temporary.c_str());
    return status;
  }
  if (!sync_folder(folder_of(path))) return ERROR_WRITE_FAULT;
  written = identity_of(new_info);
  return ERROR_SUCCESS;
}

bool make_folders(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  std::string parent = folder_of(path);
  if (parent != path && !make_folders(parent)) return false;
  return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

HiveLock::HiveLock(const std::string& hive_path) {
  fd_ = open((hive_path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) return;
  int result;
  do {
    result = flock(fd_, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    close(fd_);
    fd_ = -1;
  }
}

HiveLock::~HiveLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace registry_unix
