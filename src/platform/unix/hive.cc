#include "hive.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "name_case.h"

namespace registry_unix {
namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2\n";
constexpr unsigned long long kUnixEpochAsFileTime = 116444736000000000ull;
constexpr unsigned long long kFileTimeUnitsPerSecond = 10000000ull;

size_t next_line(std::string_view text, size_t pos) {
  size_t end = text.find('\n', pos);
  return end == std::string_view::npos ? text.size() : end + 1;
}

bool is_blank_line(std::string_view line) {
  return line.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// A trailing backslash continues hex data on the next line.
bool continues(std::string_view line) {
  size_t last = line.find_last_not_of(" \t\r\n");
  return last != std::string_view::npos && line[last] == '\\';
}

// The key line's escaped name and, after it, an optional Unix time stamp.
bool parse_key_line(std::string_view line, std::string_view& name_text, std::u16string& path) {
  size_t pos = 1;
  if (!read_escaped(line, pos, ']', path)) return false;
  name_text = line.substr(1, pos - 2);
  std::string_view rest = line.substr(pos);
  size_t i = 0;
  while (i < rest.size() && rest[i] == ' ') ++i;
  while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') ++i;
  return is_blank_line(rest.substr(i));
}

std::string key_line(const std::string& name_text, unsigned long long now) {
  char stamp[24];
  std::snprintf(stamp, sizeof stamp, "] %llu\n",
                (now - kUnixEpochAsFileTime) / kFileTimeUnitsPerSecond);
  return "[" + name_text + stamp;
}

bool starts_with(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::u16string child_prefix(const std::u16string& folded) {
  return folded.empty() ? folded : folded + u'\\';
}

using IndexEntry = std::pair<std::u16string, HiveKey*>;

std::vector<IndexEntry>::const_iterator first_at_or_after(const std::vector<IndexEntry>& index,
                                                          const std::u16string& path) {
  return std::lower_bound(
      index.begin(), index.end(), path,
      [](const IndexEntry& entry, const std::u16string& p) { return entry.first < p; });
}

}  // namespace

int compare_paths_for_file(std::u16string_view a, std::u16string_view b) {
  while (true) {
    size_t a_end = std::min(a.find(u'\\'), a.size());
    size_t b_end = std::min(b.find(u'\\'), b.size());
    if (int order = compare_names_for_file(a.substr(0, a_end), b.substr(0, b_end))) return order;
    if (a_end == a.size() || b_end == b.size()) {
      if (a_end == a.size() && b_end == b.size()) return 0;
      return a_end == a.size() ? -1 : 1;
    }
    a.remove_prefix(a_end + 1);
    b.remove_prefix(b_end + 1);
  }
}

HiveKey::HiveKey(std::u16string path, unsigned long long now)
    : path_(std::move(path)), changed_(true), parsed_(true), lead_("\n") {
  append_escaped(name_text_, path_, Delimiters::kBracketed);
  lines_.push_back({KeyLine::kTime, "", {}});
  touch(now);
}

void HiveKey::parse() {
  if (parsed_) return;
  parsed_ = true;
  std::string_view text = source_;
  size_t pos = 0;
  while (pos < text.size() && text[pos] != '[') pos = next_line(text, pos);
  lead_ = std::string(text.substr(0, pos));
  size_t body = next_line(text, pos);
  std::string_view name_text;
  std::u16string unused_path;
  well_formed_ = parse_key_line(text.substr(pos, body - pos), name_text, unused_path);
  name_text_ = std::string(name_text);
  key_line_ = std::string(text.substr(pos, body - pos));
  for (pos = body; pos < text.size();) {
    size_t start = pos;
    char first = text[pos];
    if (first == '"' || first == '@') {
      HiveValue value;
      bool ok = parse_value(text, pos, value);
      well_formed_ = well_formed_ && ok;
      std::string raw(text.substr(start, pos - start));
      if (ok) {
        lines_.push_back({KeyLine::kValue, std::move(raw), std::move(value)});
      } else {
        lines_.push_back({KeyLine::kOther, std::move(raw), {}});
      }
      continue;
    }
    pos = next_line(text, pos);
    std::string_view line = text.substr(start, pos - start);
    if (line.substr(0, 6) == "#time=") {
      last_write_ = std::strtoull(std::string(line.substr(6)).c_str(), nullptr, 16);
      lines_.push_back({KeyLine::kTime, std::string(line), {}});
    } else {
      well_formed_ = well_formed_ && (first == '#' || first == ';' || is_blank_line(line));
      lines_.push_back({KeyLine::kOther, std::string(line), {}});
    }
  }
}

bool HiveKey::well_formed() {
  parse();
  return well_formed_;
}

const HiveValue* HiveKey::find_value(std::u16string_view name) {
  parse();
  for (const KeyLine& line : lines_) {
    if (line.kind == KeyLine::kValue && names_equal(line.value.name, name)) return &line.value;
  }
  return nullptr;
}

size_t HiveKey::value_count() {
  parse();
  return std::count_if(lines_.begin(), lines_.end(),
                       [](const KeyLine& line) { return line.kind == KeyLine::kValue; });
}

const HiveValue* HiveKey::value_at(size_t index) {
  parse();
  for (const KeyLine& line : lines_) {
    if (line.kind == KeyLine::kValue && index-- == 0) return &line.value;
  }
  return nullptr;
}

unsigned long long HiveKey::last_write_time() {
  parse();
  return last_write_;
}

void HiveKey::set_value(HiveValue value, unsigned long long now) {
  parse();
  touch(now);
  for (KeyLine& line : lines_) {
    if (line.kind == KeyLine::kValue && names_equal(line.value.name, value.name)) {
      value.name = line.value.name;  // the name keeps the case it was first written in
      line.text = format_value(value);
      line.value = std::move(value);
      return;
    }
  }
  // A new value goes where Wine keeps it: values in name order, after the key's other lines.
  auto position = lines_.end();
  while (position != lines_.begin() && is_blank_line(std::prev(position)->text)) --position;
  for (auto it = lines_.begin(); it != lines_.end(); ++it) {
    if (it->kind == KeyLine::kValue && compare_names_for_file(it->value.name, value.name) > 0) {
      position = it;
      break;
    }
  }
  std::string text = format_value(value);
  lines_.insert(position, {KeyLine::kValue, std::move(text), std::move(value)});
}

bool HiveKey::delete_value(std::u16string_view name, unsigned long long now) {
  parse();
  auto it = std::find_if(lines_.begin(), lines_.end(), [&](const KeyLine& line) {
    return line.kind == KeyLine::kValue && names_equal(line.value.name, name);
  });
  if (it == lines_.end()) return false;
  lines_.erase(it);
  touch(now);
  return true;
}

void HiveKey::touch(unsigned long long now) {
  changed_ = true;
  last_write_ = now;
  key_line_ = key_line(name_text_, now);
  for (KeyLine& line : lines_) {
    if (line.kind == KeyLine::kTime) line.text = format_time_line(now);
  }
}

void HiveKey::append_text(std::string& out) const {
  if (!changed_) {
    out += source_;
    return;
  }
  out += lead_;
  out += key_line_;
  for (const KeyLine& line : lines_) out += line.text;
}

std::unique_ptr<Hive> Hive::parse(std::string text) {
  std::unique_ptr<Hive> hive(new Hive());
  hive->source_ = std::move(text);
  std::string_view source = hive->source_;
  hive->structure_ok_ = source.substr(0, kSignature.size()) == kSignature && source.back() == '\n';
  // A block starts with the blank lines before its key line.
  size_t block_start = std::string_view::npos;
  size_t after_content = 0;
  bool continued = false;
  auto close_block = [&](size_t end) {
    if (block_start == std::string_view::npos) {
      hive->header_ = source.substr(0, end);
      return;
    }
    std::string_view block = source.substr(block_start, end - block_start);
    size_t key_at = block.find('[');
    std::string_view line = block.substr(key_at, next_line(block, key_at) - key_at);
    std::string_view name_text;
    std::u16string path;
    if (!parse_key_line(line, name_text, path)) {
      hive->structure_ok_ = false;
      return;  // kept out of the model; the hive will never be rewritten
    }
    hive->keys_.push_back(std::make_unique<HiveKey>(std::move(path), block));
  };
  for (size_t pos = 0; pos < source.size();) {
    size_t end = next_line(source, pos);
    std::string_view line = source.substr(pos, end - pos);
    if (line[0] == '[') {
      close_block(after_content);
      block_start = after_content;
    } else if (block_start == std::string_view::npos && pos != 0 && line[0] != '#' &&
               line[0] != ';' && !is_blank_line(line)) {
      hive->structure_ok_ = false;
    }
    // A blank line that ends continued data belongs to its value, not to the next key's lead.
    if (!is_blank_line(line) || continued) after_content = end;
    continued = continues(line);
    pos = end;
  }
  close_block(source.size());
  for (auto& key : hive->keys_) hive->add_to_index(key.get());
  return hive;
}

std::unique_ptr<Hive> Hive::create(std::string header) {
  std::unique_ptr<Hive> hive(new Hive());
  hive->source_ = std::move(header);
  hive->header_ = hive->source_;
  return hive;
}

bool Hive::well_formed() {
  if (!structure_ok_) return false;
  for (auto& key : keys_) {
    if (!key->well_formed()) return false;
  }
  return true;
}

void Hive::add_to_index(HiveKey* key) {
  std::pair<std::u16string, HiveKey*> entry(fold_name(key->path()), key);
  auto at = std::upper_bound(index_.begin(), index_.end(), entry,
                             [](const auto& a, const auto& b) { return a.first < b.first; });
  index_.insert(at, std::move(entry));
}

HiveKey* Hive::find(const std::u16string& folded) {
  auto at = first_at_or_after(index_, folded);
  return at != index_.end() && at->first == folded ? at->second : nullptr;
}

bool Hive::exists(const std::u16string& folded) const {
  // A key with no block of its own exists when a key below it has one.
  std::u16string prefix = child_prefix(folded);
  auto at = first_at_or_after(index_, folded);
  if (at != index_.end() && at->first == folded) return true;
  at = first_at_or_after(index_, prefix);
  return at != index_.end() && starts_with(at->first, prefix);
}

std::vector<std::u16string> Hive::sub_key_names(const std::u16string& folded) const {
  std::u16string prefix = child_prefix(folded);
  std::set<std::u16string> folded_names;
  std::vector<std::u16string> names;
  auto at = first_at_or_after(index_, prefix);
  for (; at != index_.end() && starts_with(at->first, prefix); ++at) {
    if (at->first.size() == prefix.size()) continue;  // the root's own block
    size_t end = std::min(at->first.find(u'\\', prefix.size()), at->first.size());
    std::u16string original = at->second->path().substr(prefix.size(), end - prefix.size());
    if (folded_names.insert(at->first.substr(prefix.size(), end - prefix.size())).second) {
      names.push_back(std::move(original));
    }
  }
  return names;
}

std::u16string Hive::spelled_as_stored(const std::u16string& path) const {
  // The longest leading part that exists keeps the case it has in the hive.
  std::u16string folded = fold_name(path);
  for (size_t end = path.size(); end != 0 && end != std::u16string::npos;
       end = path.rfind(u'\\', end - 1)) {
    std::u16string prefix = folded.substr(0, end);
    auto at = first_at_or_after(index_, prefix);
    if (at == index_.end() || at->first != prefix) {
      prefix += u'\\';
      at = first_at_or_after(index_, prefix);
      if (at == index_.end() || !starts_with(at->first, prefix)) continue;
    }
    return at->second->path().substr(0, end) + path.substr(end);
  }
  return path;
}

HiveKey& Hive::obtain(const std::u16string& path, unsigned long long now) {
  if (HiveKey* existing = find(fold_name(path))) return *existing;
  auto key = std::make_unique<HiveKey>(spelled_as_stored(path), now);
  auto position = std::find_if(keys_.begin(), keys_.end(), [&](const auto& other) {
    return compare_paths_for_file(other->path(), key->path()) > 0;
  });
  HiveKey* added = keys_.insert(position, std::move(key))->get();
  add_to_index(added);
  return *added;
}

std::string Hive::text() const {
  std::string out(header_);
  out.reserve(source_.size() + 4096);
  for (const auto& key : keys_) key->append_text(out);
  return out;
}

}  // namespace registry_unix
