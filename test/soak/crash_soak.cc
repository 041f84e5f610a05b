// Crash safety of hive writes. Each trial forks a child that makes a planned series of writes,
// reporting each on a pipe only once it returned ERROR_SUCCESS, and SIGKILLs it at a random
// moment. The hive must then parse whole and hold every reported write; the one write that may
// have been in flight may or may not have landed. The lock must not outlive the child.
//
// Trials build on one hive for kTrialsPerHive trials, then start a fresh prefix, so each block
// covers the very first write of a hive as well as a hive grown to hundreds of values, and
// the hive stays small enough that every trial checks all of it.
//
// Usage: crash_soak --trials N [--seed S]
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "crash_plan.h"
#include "hive_view.h"

namespace soak {
namespace {

constexpr unsigned kTrialsPerHive = 100;

// Written by the child, read by the parent once the child is dead: which write it was in.
struct Progress {
  std::atomic<int> op{-1};
  std::atomic<bool> in_call{false};
};

struct TrialRun {
  size_t reported = 0;
  bool killed = false;
  bool in_call = false;
  double last_report_seconds = 0;  // since the fork
};

[[noreturn]] void run_writer(const std::vector<WriteOp>& plan, int report_fd, Progress* progress) {
  for (size_t i = 0; i < plan.size(); ++i) {
    progress->op = static_cast<int>(i);
    progress->in_call = true;
    LONG status = apply(plan[i]);
    progress->in_call = false;
    if (status != ERROR_SUCCESS) {
      fail("write " + std::to_string(i) + " to " + narrow(plan[i].key) + " returned " +
           std::to_string(status));
    }
    unsigned index = static_cast<unsigned>(i);
    if (write(report_fd, &index, sizeof index) != sizeof index) fail("cannot report a write");
  }
  _exit(0);
}

// Reads reports until `deadline` (seconds since `start`) or the end of the pipe.
bool read_reports(int fd, double start, double deadline, TrialRun& run) {
  for (;;) {
    double left = deadline - seconds_since(start);
    if (left <= 0) return false;
    struct timespec wait = {
        static_cast<time_t>(left),
        static_cast<long>((left - static_cast<double>(static_cast<time_t>(left))) * 1e9)};
    struct pollfd watch = {fd, POLLIN, 0};
    int ready = ppoll(&watch, 1, &wait, nullptr);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) fail("poll failed");
    if (ready == 0) return false;
    unsigned index;
    ssize_t count = read(fd, &index, sizeof index);
    if (count == 0) return true;
    if (count != sizeof index) fail("short report from the writer");
    if (index != run.reported) fail("writer reported out of order");
    ++run.reported;
    run.last_report_seconds = seconds_since(start);
  }
}

TrialRun run_trial(const std::vector<WriteOp>& plan, double kill_after, Progress* progress) {
  int reports[2];
  if (pipe(reports) != 0) fail("pipe failed");
  progress->op = -1;
  progress->in_call = false;
  double start = now_seconds();
  pid_t child = fork();
  if (child < 0) fail("fork failed");
  if (child == 0) {
    close(reports[0]);
    run_writer(plan, reports[1], progress);
  }
  close(reports[1]);
  TrialRun run;
  bool ended = read_reports(reports[0], start, kill_after, run);
  if (!ended) {
    kill(child, SIGKILL);
    run.killed = true;
  }
  int status;
  if (waitpid(child, &status, 0) != child) fail("waitpid failed");
  // Reports written before the kill are still in the pipe.
  if (!ended) read_reports(reports[0], start, 1e9, run);
  close(reports[0]);
  if (!run.killed && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
    fail("the writer failed on its own (see its message above)");
  }
  run.in_call = run.killed && progress->in_call;
  return run;
}

void check_no_lock_held(const std::string& hive_file) {
  int fd = open((hive_file + ".lock").c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return;  // no write has taken the lock yet
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) fail("the lock on " + hive_file + " outlived its writer");
  close(fd);
}

size_t count_temporary_files(const std::string& prefix) {
  size_t count = 0;
  DIR* dir = opendir(prefix.c_str());
  if (dir == nullptr) fail("cannot list " + prefix);
  while (struct dirent* entry = readdir(dir)) {
    if (std::string(entry->d_name).rfind("user.reg.tmp-", 0) == 0) ++count;
  }
  closedir(dir);
  return count;
}

struct Totals {
  unsigned trials = 0, completed = 0, between_calls = 0, before_temp = 0, temp_left = 0,
           after_rename = 0, in_flight_landed = 0;
  size_t writes_verified = 0, temporary_files = 0, largest_hive = 0;
};

// Checks the hive against the model with the trial's reported writes applied, and takes in
// whatever the in-flight write left. Returns whether that write landed.
bool verify(HiveModel& model, const std::vector<WriteOp>& plan, const TrialRun& run,
            const std::string& hive_file, const std::string& where) {
  for (size_t i = 0; i < run.reported; ++i) {
    if (plan[i].kind == WriteOp::kCreateKey) model.keys.insert(plan[i].key);
    if (plan[i].kind == WriteOp::kSetValue)
      model.values[{plan[i].key, plan[i].name}] = plan[i].data;
  }
  const WriteOp* in_flight =
      run.killed && run.reported < plan.size() ? &plan[run.reported] : nullptr;
  HiveView view(hive_file);
  if (!view.well_formed()) fail(where + ": the hive does not parse whole");
  bool landed = false;
  if (in_flight != nullptr && in_flight->kind == WriteOp::kCreateKey) {
    landed = view.key_exists(in_flight->key);
    if (landed) model.keys.insert(in_flight->key);
  }
  if (in_flight != nullptr && in_flight->kind == WriteOp::kSetValue) {
    ValueId id{in_flight->key, in_flight->name};
    std::optional<ValueData> found = view.value(id.first, id.second);
    auto known = model.values.find(id);
    bool was = known != model.values.end() ? found == known->second : !found;
    landed = found == in_flight->data;
    if (!landed && !was) {
      fail(where + ": " + narrow(id.first) + " " + narrow(id.second) + " holds " + describe(found) +
           ", neither its last reported data nor the write in flight");
    }
    if (found) model.values[id] = *found;
    if (!found) model.values.erase(id);
  }
  std::map<std::u16string, size_t> counts;
  for (const auto& [id, data] : model.values) {
    ++counts[id.first];
    std::optional<ValueData> found = view.value(id.first, id.second);
    if (found != data) {
      fail(where + ": " + narrow(id.first) + " " + narrow(id.second) + " holds " + describe(found) +
           ", its last reported data is " + describe(data));
    }
    if (query_value(id.first, id.second) != data) {
      fail(where + ": the API reads " + narrow(id.first) + " " + narrow(id.second) +
           " otherwise than the file holds it");
    }
  }
  for (const std::u16string& key : model.keys) {
    if (!view.key_exists(key)) fail(where + ": key " + narrow(key) + " is lost");
    if (view.value_count(key) != counts[key] || value_count(key) != counts[key]) {
      fail(where + ": key " + narrow(key) + " holds values no write made");
    }
  }
  return landed;
}

// Where the kill landed, as far as the parent can tell: outside any call, in a call before its
// temporary file existed (the lock, the read, the change), with the temporary file made but not
// renamed (its write and fsync), or after the rename (the folder's fsync, the return).
void count_kill(const TrialRun& run, bool temp_left, bool landed, Totals& totals) {
  if (!run.killed) {
    ++totals.completed;
  } else if (!run.in_call) {
    ++totals.between_calls;
  } else if (temp_left) {
    ++totals.temp_left;
  } else if (landed) {
    ++totals.after_rename;
  } else {
    ++totals.before_temp;
  }
}

void run_block(unsigned first_trial, unsigned trials, std::mt19937_64& random, Progress* progress,
               Totals& totals, double& seconds_per_write) {
  std::string prefix = make_scratch_prefix("crash");
  std::string hive_file = prefix + "/user.reg";
  HiveModel model;
  size_t temporary_files = 0;
  for (unsigned trial = first_trial; trial < first_trial + trials; ++trial) {
    std::string where = "trial " + std::to_string(trial) + " (hive kept in " + prefix + ")";
    check_no_lock_held(hive_file);
    std::vector<WriteOp> plan = plan_trial(model, random, trial);
    // Spread over about the time the whole plan takes, so kills land all through the writes.
    double window = seconds_per_write * static_cast<double>(plan.size());
    double kill_after = std::uniform_real_distribution<double>(0, window)(random);
    TrialRun run = run_trial(plan, kill_after, progress);
    if (run.reported >= 3) {
      seconds_per_write = 0.8 * seconds_per_write + 0.2 * run.last_report_seconds / run.reported;
    }
    bool landed = verify(model, plan, run, hive_file, where);
    size_t now_left = count_temporary_files(prefix);
    bool temp_left = now_left > temporary_files;
    temporary_files = now_left;
    ++totals.trials;
    totals.writes_verified += run.reported;
    totals.in_flight_landed += landed;
    totals.largest_hive = std::max(totals.largest_hive, HiveView(hive_file).size());
    count_kill(run, temp_left, landed, totals);
  }
  // A writer after the last kill is not held up.
  check_no_lock_held(hive_file);
  if (set_value(u"Software\\Soak", u"after", dword_data(1)) != ERROR_SUCCESS) {
    fail("a write after the last kill failed (hive kept in " + prefix + ")");
  }
  totals.temporary_files += temporary_files;
  remove_folder(prefix);
}

}  // namespace
}  // namespace soak

int main(int argc, char** argv) {
  using namespace soak;
  Flags flags(argc, argv);
  unsigned trials = static_cast<unsigned>(flags.number("--trials", 50));
  unsigned long long seed = flags.number("--seed", fresh_seed());
  std::printf("crash soak: %u trials, seed %llu (replay with --seed %llu)\n", trials, seed, seed);
  std::fflush(stdout);
  std::mt19937_64 random(seed);
  Progress* progress = make_shared_with_children<Progress>();
  Totals totals;
  double seconds_per_write = 0.002;
  double start = now_seconds();
  for (unsigned first = 0; first < trials; first += kTrialsPerHive) {
    run_block(first, std::min(kTrialsPerHive, trials - first), random, progress, totals,
              seconds_per_write);
  }
  std::printf(
      "crash soak passed: %u trials in %.1f s; %u ran to the end unkilled, %u killed between "
      "calls, %u killed in a call before its temp file, %u killed with the temp file written "
      "(not renamed), %u killed after the rename; in-flight writes landed %u times; %zu reported "
      "writes verified; %zu temp files left behind; largest hive %zu bytes; %.2f ms per write\n",
      totals.trials, seconds_since(start), totals.completed, totals.between_calls,
      totals.before_temp, totals.temp_left, totals.after_rename, totals.in_flight_landed,
      totals.writes_verified, totals.temporary_files, totals.largest_hive,
      seconds_per_write * 1000);
  return 0;
}
