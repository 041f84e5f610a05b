#include "crash_plan.h"

namespace soak {
namespace {

constexpr size_t kWritesPerTrial = 16;
constexpr unsigned kValueNamesPerKey = 8;

const std::u16string kAlphabet = u"abcdefghijklmnopqrstuvwxyz0123456789 \"\\[]=@\u00e9\u4e2d";

std::u16string new_key_path(unsigned number) {
  std::u16string path = u"Software\\Soak\\Key" + widen(std::to_string(number));
  // Some names need escaping in the file.
  if (number % 4 == 3) path += u" [\u00e9]";
  return path;
}

ValueData random_data(std::mt19937_64& random, unsigned trial, size_t index) {
  unsigned long long draw = random();
  if (draw % 2 == 0) return dword_data(static_cast<DWORD>(draw >> 32));
  std::u16string text = widen("t" + std::to_string(trial) + "." + std::to_string(index) + ":");
  size_t length = (draw >> 8) % 300;
  for (size_t i = 0; i < length; ++i) text += kAlphabet[random() % kAlphabet.size()];
  return string_data(text);
}

}  // namespace

std::vector<WriteOp> plan_trial(HiveModel& model, std::mt19937_64& random, unsigned trial) {
  std::vector<std::u16string> keys(model.keys.begin(), model.keys.end());
  std::vector<WriteOp> plan;
  for (size_t index = 0; index < kWritesPerTrial; ++index) {
    unsigned long long draw = random();
    WriteOp op;
    if (keys.empty() || draw % 10 == 0) {
      op.kind = WriteOp::kCreateKey;
      op.key = new_key_path(model.next_key++);
      keys.push_back(op.key);
    } else if (draw % 10 < 4 && !plan.empty() && plan.back().kind == WriteOp::kSetValue) {
      op = plan.back();  // the same value again, with new data
    } else {
      op.kind = WriteOp::kSetValue;
      op.key = keys[(draw >> 8) % keys.size()];
      op.name = u"v" + widen(std::to_string((draw >> 40) % kValueNamesPerKey));
    }
    if (op.kind == WriteOp::kSetValue) op.data = random_data(random, trial, index);
    plan.push_back(std::move(op));
  }
  return plan;
}

LONG apply(const WriteOp& op) {
  return op.kind == WriteOp::kCreateKey ? create_key(op.key) : set_value(op.key, op.name, op.data);
}

}  // namespace soak
