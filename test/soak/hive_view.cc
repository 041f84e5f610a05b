#include "hive_view.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "name_case.h"

namespace soak {
namespace {

std::string read_whole(const std::string& file) {
  std::string text;
  int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) fail("cannot open " + file);
    return text;
  }
  char buffer[65536];
  ssize_t count;
  while ((count = read(fd, buffer, sizeof buffer)) != 0) {
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) fail("cannot read " + file);
    text.append(buffer, static_cast<size_t>(count));
  }
  close(fd);
  return text;
}

}  // namespace

HiveView::HiveView(const std::string& file) {
  std::string text = read_whole(file);
  size_ = text.size();
  if (!text.empty()) hive_ = registry_unix::Hive::parse(std::move(text));
}

registry_unix::HiveKey* HiveView::find(const std::u16string& path) const {
  return hive_ ? hive_->find(registry_unix::fold_name(path)) : nullptr;
}

bool HiveView::key_exists(const std::u16string& path) const {
  return hive_ && hive_->exists(registry_unix::fold_name(path));
}

std::optional<ValueData> HiveView::value(const std::u16string& path,
                                         const std::u16string& name) const {
  registry_unix::HiveKey* key = find(path);
  const registry_unix::HiveValue* value = key ? key->find_value(name) : nullptr;
  if (value == nullptr) return std::nullopt;
  return ValueData{value->type, value->data};
}

size_t HiveView::value_count(const std::u16string& path) const {
  registry_unix::HiveKey* key = find(path);
  return key ? key->value_count() : 0;
}

std::vector<std::pair<std::u16string, ValueData>> HiveView::values(
    const std::u16string& path) const {
  std::vector<std::pair<std::u16string, ValueData>> all;
  registry_unix::HiveKey* key = find(path);
  if (key == nullptr) return all;
  size_t count = key->value_count();
  for (size_t i = 0; i < count; ++i) {
    const registry_unix::HiveValue* value = key->value_at(i);
    all.emplace_back(value->name, ValueData{value->type, value->data});
  }
  return all;
}

}  // namespace soak
