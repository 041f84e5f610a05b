// A Wine prefix folder made for one test under the test's working folder, named by
// WINEPREFIX while it lives, and removed afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ScratchPrefix {
 public:
  ScratchPrefix() {
    std::string pattern = (std::filesystem::current_path() / "scratch-prefix-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    setenv("WINEPREFIX", path_.c_str(), 1);
  }
  ~ScratchPrefix() {
    unsetenv("WINEPREFIX");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string user_hive() const { return path_ + "/user.reg"; }
  std::string machine_hive() const { return path_ + "/system.reg"; }

 private:
  std::string path_;
};

inline std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void write_text(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string fixture_text(const std::string& name) {
  return read_text(std::string(PLATFORM_FIXTURES_DIR) + "/" + name);
}
