// Concurrent writers and readers on one hive, in separate processes. Two rounds:
//   new values: each writer sets --values distinct values in one shared key;
//   overwrites: each writer sets its own counter value to 0, 1, 2 ... --values - 1, so the
//               file keeps its size from write to write.
// Two readers run meanwhile, reading the hive file raw and parsing it (it must parse whole
// every time) and reading values through the API. A writer's writes follow one another, so any
// file holds a run of them from its first: a reader must see each writer's values as 0..k-1
// and the counters never go back, and the API must see at least what the file showed before.
// At the end every value is there with its data.
//
// Usage: concurrency_soak [--values N] [--seed S]
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "hive_view.h"

namespace soak {
namespace {

constexpr int kWriters = 4;
constexpr int kReaders = 2;
const std::u16string kValuesKey = u"Software\\Soak\\Shared";
const std::u16string kCountersKey = u"Software\\Soak\\Counters";

enum class Round { kNewValues, kOverwrites };

struct ReaderCounts {
  std::atomic<unsigned long> file_reads{0};
  std::atomic<unsigned long> api_reads{0};
};

// Shared between the parent and its children.
struct Board {
  std::atomic<bool> writers_done{false};
  ReaderCounts readers[kReaders];
  std::atomic<double> writer_seconds[kWriters];
};

std::u16string value_name(int writer, unsigned index) {
  return widen("w" + std::to_string(writer) + "-" + std::to_string(index));
}

ValueData value_data(int writer, unsigned index) {
  if (index % 2 == 1) return dword_data(static_cast<DWORD>(writer) << 16 | index);
  return string_data(widen("writer " + std::to_string(writer) + " value " + std::to_string(index)));
}

std::u16string counter_name(int writer) { return widen("counter-" + std::to_string(writer)); }

// How far each writer got in a file, checking that it holds a run from each writer's first
// write and nothing else.
struct Progress {
  unsigned done[kWriters] = {};
};

Progress new_values_in(const HiveView& view, const std::string& where) {
  Progress progress;
  std::vector<std::vector<bool>> seen(kWriters);
  for (const auto& [name, data] : view.values(kValuesKey)) {
    int writer = -1;
    unsigned index = 0;
    std::string text = narrow(name);
    if (std::sscanf(text.c_str(), "w%d-%u", &writer, &index) != 2 || writer < 0 ||
        writer >= kWriters || value_name(writer, index) != name) {
      fail(where + ": a value no writer made: " + text);
    }
    if (data != value_data(writer, index)) fail(where + ": " + text + " holds " + describe(data));
    if (seen[writer].size() <= index) seen[writer].resize(index + 1);
    if (seen[writer][index]) fail(where + ": " + text + " is there twice");
    seen[writer][index] = true;
    ++progress.done[writer];
  }
  for (int w = 0; w < kWriters; ++w) {
    if (progress.done[w] != seen[w].size()) {
      fail(where + ": writer " + std::to_string(w) + " has " + std::to_string(progress.done[w]) +
           " values but one up to index " + std::to_string(seen[w].size() - 1) +
           ": a write was lost");
    }
  }
  return progress;
}

// A counter's next value, 0 for one not written yet.
Progress counters_in(const HiveView& view, const std::string& where) {
  Progress progress;
  for (int w = 0; w < kWriters; ++w) {
    std::optional<ValueData> data = view.value(kCountersKey, counter_name(w));
    if (!data) continue;
    if (data->type != REG_DWORD || data->bytes.size() != 4) {
      fail(where + ": counter " + std::to_string(w) + " holds " + describe(data));
    }
    DWORD number;
    std::memcpy(&number, data->bytes.data(), 4);
    progress.done[w] = number + 1;
  }
  return progress;
}

Progress progress_in(Round round, const HiveView& view, const std::string& where) {
  if (!view.well_formed()) fail(where + ": the hive does not parse whole");
  return round == Round::kNewValues ? new_values_in(view, where) : counters_in(view, where);
}

// Checks through the API one write the file already showed.
void check_through_api(Round round, const Progress& shown, std::mt19937_64& random,
                       const std::string& where) {
  int writer = static_cast<int>(random() % kWriters);
  unsigned done = shown.done[writer];
  if (done == 0) return;
  if (round == Round::kNewValues) {
    unsigned index = static_cast<unsigned>(random() % done);
    if (query_value(kValuesKey, value_name(writer, index)) != value_data(writer, index)) {
      fail(where + ": the API lost " + narrow(value_name(writer, index)));
    }
    unsigned total = 0;
    for (unsigned count : shown.done) total += count;
    if (value_count(kValuesKey) < total)
      fail(where + ": the API counts fewer values than the file");
    return;
  }
  std::optional<ValueData> data = query_value(kCountersKey, counter_name(writer));
  DWORD number = 0;
  if (data && data->bytes.size() == 4) std::memcpy(&number, data->bytes.data(), 4);
  if (!data || data->type != REG_DWORD || number + 1 < done) {
    fail(where + ": the API reads counter " + std::to_string(writer) + " as " + describe(data) +
         " after the file showed " + std::to_string(done - 1));
  }
}

[[noreturn]] void run_writer(Round round, int writer, unsigned values, Board* board) {
  double start = now_seconds();
  HKEY key;
  const std::u16string& path = round == Round::kNewValues ? kValuesKey : kCountersKey;
  LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) fail("RegCreateKeyExW returned " + std::to_string(status));
  for (unsigned i = 0; i < values; ++i) {
    status = round == Round::kNewValues
                 ? set_value(key, value_name(writer, i), value_data(writer, i))
                 : set_value(key, counter_name(writer), dword_data(i));
    if (status != ERROR_SUCCESS) {
      fail("writer " + std::to_string(writer) + " write " + std::to_string(i) + " returned " +
           std::to_string(status));
    }
  }
  RegCloseKey(key);
  board->writer_seconds[writer] = seconds_since(start);
  _exit(0);
}

[[noreturn]] void run_reader(Round round, int reader, const std::string& hive_file,
                             unsigned long long seed, Board* board) {
  std::mt19937_64 random(seed + static_cast<unsigned long long>(reader));
  Progress last;
  for (;;) {
    // Read once more after the writers are done, so the last file is checked too.
    bool final_read = board->writers_done;
    unsigned long reads = ++board->readers[reader].file_reads;
    std::string where = "reader " + std::to_string(reader) + " read " + std::to_string(reads);
    Progress shown = progress_in(round, HiveView(hive_file), where);
    for (int w = 0; w < kWriters; ++w) {
      if (shown.done[w] < last.done[w]) {
        fail(where + ": writer " + std::to_string(w) + " went back from " +
             std::to_string(last.done[w]) + " writes to " + std::to_string(shown.done[w]));
      }
    }
    last = shown;
    check_through_api(round, shown, random, where);
    ++board->readers[reader].api_reads;
    if (final_read) _exit(0);
  }
}

void wait_all(const std::vector<pid_t>& children) {
  for (pid_t child : children) {
    int status;
    if (waitpid(child, &status, 0) != child) fail("waitpid failed");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      fail("a child process failed (see its message above)");
    }
  }
}

pid_t spawn(const std::function<void()>& body) {
  pid_t child = fork();
  if (child < 0) fail("fork failed");
  if (child == 0) body();
  return child;
}

void check_end(Round round, unsigned values, const std::string& hive_file) {
  Progress final = progress_in(round, HiveView(hive_file), "the final hive");
  for (int w = 0; w < kWriters; ++w) {
    if (final.done[w] != values) {
      fail("the final hive holds " + std::to_string(final.done[w]) + " writes of writer " +
           std::to_string(w) + ", not " + std::to_string(values));
    }
    if (round == Round::kOverwrites &&
        query_value(kCountersKey, counter_name(w)) != dword_data(values - 1)) {
      fail("the API reads counter " + std::to_string(w) + " wrong at the end");
    }
    for (unsigned i = 0; i < values && round == Round::kNewValues; ++i) {
      if (query_value(kValuesKey, value_name(w, i)) != value_data(w, i)) {
        fail("the API lost " + narrow(value_name(w, i)));
      }
    }
  }
  if (round == Round::kNewValues && value_count(kValuesKey) != values * kWriters) {
    fail("the API counts " + std::to_string(value_count(kValuesKey)) + " values");
  }
}

void run_round(Round round, unsigned values, const std::string& hive_file, unsigned long long seed,
               Board* board) {
  board->writers_done = false;
  for (ReaderCounts& counts : board->readers) {
    counts.file_reads = 0;
    counts.api_reads = 0;
  }
  double start = now_seconds();
  std::vector<pid_t> readers;
  for (int r = 0; r < kReaders; ++r) {
    readers.push_back(spawn([&] { run_reader(round, r, hive_file, seed, board); }));
  }
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(spawn([&] { run_writer(round, w, values, board); }));
  }
  wait_all(writers);
  double writing = seconds_since(start);
  board->writers_done = true;
  wait_all(readers);
  check_end(round, values, hive_file);
  std::printf("%s: %d writers x %u writes in %.2f s (%.2f ms per write overall; writers took",
              round == Round::kNewValues ? "new values" : "overwrites", kWriters, values, writing,
              writing * 1000 / (kWriters * values));
  for (int w = 0; w < kWriters; ++w) std::printf(" %.2f", board->writer_seconds[w].load());
  std::printf(" s); readers parsed the file");
  for (ReaderCounts& counts : board->readers) std::printf(" %lu", counts.file_reads.load());
  std::printf(" times and read through the API");
  for (ReaderCounts& counts : board->readers) std::printf(" %lu", counts.api_reads.load());
  std::printf(" times; final hive %zu bytes\n", HiveView(hive_file).size());
  std::fflush(stdout);
}

}  // namespace
}  // namespace soak

int main(int argc, char** argv) {
  using namespace soak;
  Flags flags(argc, argv);
  unsigned values = static_cast<unsigned>(flags.number("--values", 1000));
  unsigned long long seed = flags.number("--seed", fresh_seed());
  std::printf("concurrency soak: %d writers, %d readers, %u writes each, seed %llu\n", kWriters,
              kReaders, values, seed);
  std::fflush(stdout);
  Board* board = make_shared_with_children<Board>();
  std::string prefix = make_scratch_prefix("concurrency");
  std::string hive_file = prefix + "/user.reg";
  run_round(Round::kNewValues, values, hive_file, seed, board);
  run_round(Round::kOverwrites, values, hive_file, seed, board);
  remove_folder(prefix);
  std::printf("concurrency soak passed\n");
  return 0;
}
