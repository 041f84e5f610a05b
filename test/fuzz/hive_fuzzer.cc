// Any bytes as a hive file: parsing and every lookup must not fault. A hive understood whole
// must write back byte for byte, and after one value set and one deleted its text must parse
// whole again and hold exactly the keys and values expected.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "hive.h"
#include "name_case.h"

using registry_unix::compare_names_for_file;
using registry_unix::fold_name;
using registry_unix::Hive;
using registry_unix::HiveKey;
using registry_unix::HiveValue;
using registry_unix::names_equal;

namespace {

constexpr unsigned long long kNow = 133500000000000000ull;  // a FILETIME in 2024
constexpr size_t kMaxDepth = 64;

void check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "hive fuzzer: %s\n", what);
  std::abort();
}

bool same_value(const HiveValue& a, const HiveValue& b) {
  return a.name == b.name && a.type == b.type && a.data == b.data;
}

struct KeyModel {
  std::u16string path;  // as stored
  std::vector<HiveValue> values;
};

bool operator==(const KeyModel& a, const KeyModel& b) {
  if (a.path != b.path || a.values.size() != b.values.size()) return false;
  for (size_t i = 0; i < a.values.size(); ++i) {
    if (!same_value(a.values[i], b.values[i])) return false;
  }
  return true;
}

using Model = std::map<std::u16string, KeyModel>;  // by folded path

void add_key(Hive& hive, const std::u16string& folded, Model& model) {
  if (model.count(folded)) return;
  HiveKey* key = hive.find(folded);
  if (key == nullptr) return;
  check(hive.exists(folded), "a key that is found does not exist");
  check(fold_name(key->path()) == folded, "find gives a key of another path");
  key->well_formed();
  key->last_write_time();
  KeyModel entry{key->path(), {}};
  size_t count = key->value_count();
  for (size_t i = 0; i < count; ++i) {
    const HiveValue* value = key->value_at(i);
    check(value != nullptr, "value_at gives nothing below value_count");
    const HiveValue* found = key->find_value(value->name);
    check(found != nullptr && names_equal(found->name, value->name), "a listed value is not found");
    entry.values.push_back(*value);
  }
  check(key->value_at(count) == nullptr, "value_at gives a value past value_count");
  model.emplace(folded, std::move(entry));
}

void walk(Hive& hive, const std::u16string& folded, size_t depth, Model& model) {
  if (depth > kMaxDepth) return;
  for (const std::u16string& name : hive.sub_key_names(folded)) {
    std::u16string child = (folded.empty() ? u"" : folded + u'\\') + fold_name(name);
    check(hive.exists(child), "a sub-key name leads to no key");
    add_key(hive, child, model);
    if (child != folded) walk(hive, child, depth + 1, model);
  }
}

// Every key of the hive, found from the key lines of its text and by walking the sub-keys
// down from the root.
Model model_of(Hive& hive, std::string_view text) {
  Model model;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = std::min(text.find('\n', pos), text.size());
    if (text[pos] == '[') {
      size_t at = pos + 1;
      std::u16string path;
      if (registry_unix::read_escaped(text, at, ']', path)) add_key(hive, fold_name(path), model);
    }
    pos = end + 1;
  }
  walk(hive, u"", 0, model);
  return model;
}

// Draws the change's choices from the input, so the fuzzer steers them too.
class Choices {
 public:
  explicit Choices(std::string_view input) : input_(input) {
    for (char c : input) state_ = (state_ ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  uint32_t next(uint32_t bound) {
    state_ = state_ * 1103515245u + 12345u;
    return bound == 0 ? 0 : (state_ >> 8) % bound;
  }
  std::string bytes() {
    if (input_.empty()) return {};
    size_t at = next(uint32_t(input_.size()));
    return std::string(input_.substr(at, next(24)));
  }
  std::u16string units() {
    std::string raw = bytes();
    std::u16string out;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
      out.push_back(char16_t(static_cast<unsigned char>(raw[i]) |
                             static_cast<unsigned char>(raw[i + 1]) << 8));
    }
    return out;
  }

 private:
  std::string_view input_;
  uint32_t state_ = 2166136261u;
};

HiveValue new_value(Choices& choices, const std::vector<HiveValue>& existing) {
  static const DWORD kTypes[] = {REG_NONE,  REG_SZ,       REG_EXPAND_SZ, REG_BINARY,
                                 REG_DWORD, REG_MULTI_SZ, REG_QWORD,     0x12345678u};
  HiveValue value;
  if (!existing.empty() && choices.next(2) == 0) {
    value.name = existing[choices.next(uint32_t(existing.size()))].name;
  } else {
    value.name = choices.units();
  }
  value.type = kTypes[choices.next(sizeof kTypes / sizeof kTypes[0])];
  value.data = choices.bytes();
  if (choices.next(2) == 0) {
    if (value.data.size() % 2) value.data.pop_back();
    value.data.append(2, '\0');  // string data as Wine writes it as text
  }
  return value;
}

// A component for a new key: any code units but the separator, never empty.
std::u16string new_component(Choices& choices) {
  std::u16string name = choices.units();
  for (char16_t& unit : name) {
    if (unit == u'\\') unit = u'_';
  }
  return name.empty() ? u"Fuzz" : name;
}

void apply_set(std::vector<HiveValue>& values, HiveValue value) {
  for (HiveValue& old : values) {
    if (names_equal(old.name, value.name)) {
      old.type = value.type;
      old.data = std::move(value.data);
      return;
    }
  }
  auto at = values.begin();
  while (at != values.end() && compare_names_for_file(at->name, value.name) <= 0) ++at;
  values.insert(at, std::move(value));
}

bool apply_delete(std::vector<HiveValue>& values, std::u16string_view name) {
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (names_equal(it->name, name)) {
      values.erase(it);
      return true;
    }
  }
  return false;
}

// Sets a value on one key (an existing one or a new one) and deletes one from another, then
// checks the rewritten text against the model the change should give.
void check_change(const std::string& input, Model expected) {
  Choices choices(input);
  auto hive = Hive::parse(input);

  std::u16string set_path;
  if (!expected.empty() && choices.next(4) != 0) {
    auto it = std::next(expected.begin(), choices.next(uint32_t(expected.size())));
    set_path = it->second.path;
  } else {
    set_path = u"Software\\" + new_component(choices);
  }
  HiveKey& set_key = hive->obtain(set_path, kNow);
  KeyModel& set_entry = expected[fold_name(set_key.path())];
  set_entry.path = set_key.path();
  HiveValue value = new_value(choices, set_entry.values);
  apply_set(set_entry.values, value);
  set_key.set_value(value, kNow);

  auto it = std::next(expected.begin(), choices.next(uint32_t(expected.size())));
  std::u16string name;
  if (!it->second.values.empty() && choices.next(4) != 0) {
    name = it->second.values[choices.next(uint32_t(it->second.values.size()))].name;
  } else {
    name = choices.units();
  }
  bool present = apply_delete(it->second.values, name);
  HiveKey* delete_key = hive->find(it->first);
  check(delete_key != nullptr, "a key of the model is not found");
  check(delete_key->delete_value(name, kNow) == present, "delete_value misreports the value");

  std::string text = hive->text();
  auto reparsed = Hive::parse(text);
  check(reparsed->well_formed(), "a changed hive does not parse whole");
  check(model_of(*hive, text) == expected, "the changed hive does not hold what was set");
  check(model_of(*reparsed, text) == expected, "the rewritten text does not hold what was set");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  auto hive = Hive::parse(input);
  Model model = model_of(*hive, input);
  if (!hive->well_formed()) return 0;
  check(hive->text() == input, "an unchanged hive does not write back its bytes");
  check_change(input, std::move(model));
  return 0;
}
