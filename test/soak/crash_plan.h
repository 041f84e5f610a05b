// The writes a crash-soak trial makes, and what the hive is known to hold between trials.
#pragma once

#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "soak_support.h"

namespace soak {

struct WriteOp {
  enum Kind { kCreateKey, kSetValue } kind;
  std::u16string key;   // under HKEY_CURRENT_USER
  std::u16string name;  // for kSetValue
  ValueData data;       // for kSetValue
};

using ValueId = std::pair<std::u16string, std::u16string>;  // key, value name

// What the hive holds, as verified after the last trial.
struct HiveModel {
  std::set<std::u16string> keys;
  std::map<ValueId, ValueData> values;
  unsigned next_key = 0;
};

// A trial's writes: some new keys, values set on known keys, and runs of overwrites of one
// value with new data (REG_SZ of varied length and characters, or REG_DWORD). A seed fixes the
// draws; which key a draw picks also depends on which in-flight writes landed before.
std::vector<WriteOp> plan_trial(HiveModel& model, std::mt19937_64& random, unsigned trial);

// Makes the write through the API; returns its status.
LONG apply(const WriteOp& op);

}  // namespace soak
