// A hive file as it is on disk right now, read raw and parsed on its own (no cache), for
// checking what a write left there.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "hive.h"
#include "soak_support.h"

namespace soak {

class HiveView {
 public:
  // Reads and parses the file; a missing or empty file is an empty hive.
  explicit HiveView(const std::string& file);

  bool present() const { return hive_ != nullptr; }
  bool well_formed() const { return !hive_ || hive_->well_formed(); }
  size_t size() const { return size_; }

  bool key_exists(const std::u16string& path) const;
  std::optional<ValueData> value(const std::u16string& path, const std::u16string& name) const;
  size_t value_count(const std::u16string& path) const;
  // Every value of a key, in file order.
  std::vector<std::pair<std::u16string, ValueData>> values(const std::u16string& path) const;

 private:
  registry_unix::HiveKey* find(const std::u16string& path) const;

  size_t size_ = 0;
  std::unique_ptr<registry_unix::Hive> hive_;
};

}  // namespace soak
