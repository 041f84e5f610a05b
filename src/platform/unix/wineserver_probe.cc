#include "wineserver_probe.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace registry_unix {
namespace {

// A running wineserver holds a write lock on the "lock" file of its server folder.
bool lock_held(const std::string& lock_path) {
  int fd = open(lock_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock query = {};
  query.l_type = F_WRLCK;
  query.l_whence = SEEK_SET;
  bool held = fcntl(fd, F_GETLK, &query) == 0 && query.l_type != F_UNLCK;
  close(fd);
  return held;
}

// The folders a server folder may be in: Debian's Wine makes a "wine-XXXXXX" folder under
// $TMPDIR (or /tmp), whose name it records in the prefix's "wineserver" file; upstream Wine
// uses /tmp/.wine-<uid>. Every such folder is looked in, so a lost record does not matter.
std::vector<std::string> server_parents() {
  const char* tmpdir = std::getenv("TMPDIR");
  std::string temp = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  std::vector<std::string> parents;
  if (DIR* dir = opendir(temp.c_str())) {
    while (struct dirent* entry = readdir(dir)) {
      if (std::string(entry->d_name).rfind("wine-", 0) == 0) {
        parents.push_back(temp + "/" + entry->d_name);
      }
    }
    closedir(dir);
  }
  parents.push_back("/tmp/.wine-" + std::to_string(getuid()));
  return parents;
}

}  // namespace

bool wineserver_running(const std::string& prefix) {
  struct stat info;
  if (stat(prefix.c_str(), &info) != 0) return false;
  char server[64];
  std::snprintf(server, sizeof server, "/server-%llx-%llx/lock",
                static_cast<unsigned long long>(info.st_dev),
                static_cast<unsigned long long>(info.st_ino));
  for (const std::string& parent : server_parents()) {
    if (lock_held(parent + server)) return true;
  }
  return false;
}

}  // namespace registry_unix
