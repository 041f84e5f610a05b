// A registry hive file kept as its original text cut into blocks: the header, then one block
// per key (the blank lines before its key line, the key line, its lines). A key is parsed
// when first used; only keys that change are written anew, every other byte stays as read.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hive_syntax.h"

namespace registry_unix {

struct KeyLine {
  enum Kind { kTime, kValue, kOther } kind;
  std::string text;  // with its newline; a value's continuation lines included
  HiveValue value;   // for kValue
};

class HiveKey {
 public:
  HiveKey(std::u16string path, std::string_view source) : path_(std::move(path)), source_(source) {}
  // A key that is not in the file yet.
  HiveKey(std::u16string path, unsigned long long now);

  const std::u16string& path() const { return path_; }
  bool well_formed();

  const HiveValue* find_value(std::u16string_view name);
  size_t value_count();
  const HiveValue* value_at(size_t index);
  unsigned long long last_write_time();

  void set_value(HiveValue value, unsigned long long now);
  bool delete_value(std::u16string_view name, unsigned long long now);

  void append_text(std::string& out) const;

 private:
  void parse();
  void touch(unsigned long long now);

  std::u16string path_;
  std::string_view source_;  // the block as read, while unchanged
  bool changed_ = false;
  bool parsed_ = false;
  bool well_formed_ = true;
  std::string lead_;       // blank lines before the key line
  std::string name_text_;  // the escaped name as the file spells it
  std::string key_line_;
  std::vector<KeyLine> lines_;
  unsigned long long last_write_ = 0;
};

class Hive {
 public:
  // Parses a file's text. A hive that does not parse whole still serves the keys that did.
  static std::unique_ptr<Hive> parse(std::string text);
  // A hive with no file yet; `header` is the text Wine starts such a file with.
  static std::unique_ptr<Hive> create(std::string header);

  // True when every line was understood; only such a hive may be written back.
  bool well_formed();

  // `folded` is a key path folded with fold_name, components joined by backslashes.
  HiveKey* find(const std::u16string& folded);
  bool exists(const std::u16string& folded) const;
  // The key, created (in the order Wine keeps keys) when missing; `path` gives the case of
  // the components not already in the hive.
  HiveKey& obtain(const std::u16string& path, unsigned long long now);
  // The names of the direct sub-keys of a key.
  std::vector<std::u16string> sub_key_names(const std::u16string& folded) const;

  std::string text() const;

 private:
  Hive() = default;
  void add_to_index(HiveKey* key);
  std::u16string spelled_as_stored(const std::u16string& path) const;

  std::string source_;  // the file as read; blocks refer into it
  std::string_view header_;
  bool structure_ok_ = true;
  std::vector<std::unique_ptr<HiveKey>> keys_;              // file order
  std::vector<std::pair<std::u16string, HiveKey*>> index_;  // by folded path
};

// The order Wine writes keys in: component by component, as compare_names_for_file.
int compare_paths_for_file(std::u16string_view a, std::u16string_view b);

}  // namespace registry_unix
