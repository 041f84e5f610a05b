// A Wine prefix made once by wineboot under the test folder and shared by the tests that run
// Wine. Each test holds a lock on it for its whole run and starts from the hives wineboot
// wrote, saved beside the prefix.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "scratch_prefix.h"

inline std::string run_command(const std::string& command, int* status = nullptr) {
  std::string output;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return output;
  std::array<char, 4096> buffer;
  size_t count;
  while ((count = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    output.append(buffer.data(), count);
  int result = pclose(pipe);
  if (status != nullptr) *status = result;
  return output;
}

class WinePrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int status = 0;
    run_command("wine --version", &status);
    if (status != 0) {
      const char* ci = getenv("CI");
      if (ci != nullptr && std::string(ci) == "true") FAIL() << "wine is required on CI";
      GTEST_SKIP() << "wine is not installed";
    }
    base_ = (std::filesystem::current_path() / "wine-prefix").string();
    lock_fd_ = open((base_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_GE(lock_fd_, 0);
    ASSERT_EQ(flock(lock_fd_, LOCK_EX), 0);
    setenv("WINEPREFIX", base_.c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    if (!std::filesystem::exists(pristine("system.reg"))) {
      std::filesystem::remove_all(base_);
      std::string log = run_command("wineboot -i && wineserver -w", &status);
      ASSERT_EQ(status, 0) << log;
      for (const char* hive : {"system.reg", "user.reg"}) {
        std::filesystem::copy_file(base_ + "/" + hive, pristine(hive) + ".tmp");
        std::filesystem::rename(pristine(hive) + ".tmp", pristine(hive));
      }
    }
    run_command("wineserver -k; wineserver -w");
    for (const char* hive : {"system.reg", "user.reg"}) {
      std::filesystem::copy_file(pristine(hive), base_ + "/" + hive,
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }

  void TearDown() override {
    if (lock_fd_ < 0) return;
    run_command("wineserver -k; wineserver -w");
    unsetenv("WINEPREFIX");
    close(lock_fd_);
  }

  std::string pristine(const std::string& hive) const { return base_ + "-" + hive; }
  std::string hive(const std::string& name) const { return base_ + "/" + name; }
  std::string wine_reg(const std::string& arguments) {
    return run_command("wine reg " + arguments + " && wineserver -w");
  }

 private:
  std::string base_;
  int lock_fd_ = -1;
};
