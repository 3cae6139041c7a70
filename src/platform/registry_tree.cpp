#include "platform/registry_tree.h"

#include "common/ascii.h"

namespace webhoard {
namespace {

// True when `path` (lower case) is `prefix` (lower case) or lies below it.
bool IsAtOrBelow(std::string_view path, std::string_view prefix) {
  return path.size() >= prefix.size() && path.substr(0, prefix.size()) == prefix &&
         (path.size() == prefix.size() || path[prefix.size()] == '\\');
}

}  // namespace

std::optional<std::string> TidyKeyPath(std::string_view path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (path.find("\\\\") != std::string_view::npos) return std::nullopt;
  return std::string(path);
}

std::optional<std::string> FullKeyPath(RegistryRoot root, std::string_view path) {
  const auto tidy = TidyKeyPath(path);
  if (!tidy) return std::nullopt;
  std::string full(RegistryRootName(root));
  if (!tidy->empty()) full += "\\" + *tidy;
  return full;
}

bool RegistryTree::KeyExists(std::string_view full_path) const {
  const std::string wanted = AsciiLower(full_path);
  if (index_.count(wanted) != 0) return true;
  for (const auto& key : keys_) {
    if (IsAtOrBelow(AsciiLower(key.path), wanted)) return true;
  }
  return false;
}

const StoredKey* RegistryTree::FindKey(std::string_view full_path) const {
  const auto it = index_.find(AsciiLower(full_path));
  return it == index_.end() ? nullptr : &keys_[it->second];
}

StoredKey& RegistryTree::CreateKey(std::string_view full_path) {
  const std::string wanted = AsciiLower(full_path);
  if (const auto it = index_.find(wanted); it != index_.end()) return keys_[it->second];
  // Take the spelling of the longest part of the path that is already known.
  std::string spelled(full_path);
  std::size_t cut = wanted.size();
  for (;;) {
    const std::string_view prefix = std::string_view(wanted).substr(0, cut);
    bool found = false;
    for (const auto& key : keys_) {
      if (IsAtOrBelow(AsciiLower(key.path), prefix)) {
        spelled.replace(0, cut, key.path.substr(0, cut));
        found = true;
        break;
      }
    }
    if (found) break;
    const std::size_t slash = prefix.rfind('\\');
    if (slash == std::string_view::npos) break;
    cut = slash;
  }
  index_.emplace(wanted, keys_.size());
  keys_.push_back(StoredKey{std::move(spelled), {}});
  return keys_.back();
}

bool RegistryTree::DeleteKey(std::string_view full_path) {
  const std::string wanted = AsciiLower(full_path);
  const std::size_t before = keys_.size();
  std::erase_if(keys_,
                [&](const StoredKey& key) { return IsAtOrBelow(AsciiLower(key.path), wanted); });
  if (keys_.size() == before) return false;
  Reindex();
  return true;
}

std::optional<std::string> RegistryTree::ReadString(std::string_view full_path,
                                                    std::string_view name) const {
  const StoredKey* key = FindKey(full_path);
  if (key == nullptr) return std::nullopt;
  for (const auto& value : key->values) {
    if (value.kind == StoredValue::Kind::kComment || !EqualsNoCase(value.name, name)) continue;
    if (value.kind != StoredValue::Kind::kString) return std::nullopt;
    return value.text;
  }
  return std::nullopt;
}

bool RegistryTree::SetString(std::string_view full_path, std::string_view name,
                             std::string_view value) {
  return SetValue(full_path, name, StoredValue::Kind::kString, value);
}

bool RegistryTree::SetOther(std::string_view full_path, std::string_view name,
                            std::string_view raw) {
  return SetValue(full_path, name, StoredValue::Kind::kOther, raw);
}

bool RegistryTree::SetValue(std::string_view full_path, std::string_view name,
                            StoredValue::Kind kind, std::string_view text) {
  const bool existed = FindKey(full_path) != nullptr;
  StoredKey& key = CreateKey(full_path);
  for (auto& value : key.values) {
    if (value.kind == StoredValue::Kind::kComment || !EqualsNoCase(value.name, name)) continue;
    if (value.kind == kind && value.text == text) return !existed;
    value.kind = kind;
    value.text = std::string(text);
    return true;
  }
  key.values.push_back(StoredValue{kind, std::string(name), std::string(text)});
  return true;
}

bool RegistryTree::DeleteValue(std::string_view full_path, std::string_view name) {
  const auto it = index_.find(AsciiLower(full_path));
  if (it == index_.end()) return false;
  auto& values = keys_[it->second].values;
  return std::erase_if(values, [&](const StoredValue& value) {
           return value.kind != StoredValue::Kind::kComment && EqualsNoCase(value.name, name);
         }) != 0;
}

void RegistryTree::AddComment(std::string_view full_path, std::string_view line) {
  CreateKey(full_path).values.push_back(
      StoredValue{StoredValue::Kind::kComment, std::string(), std::string(line)});
}

void RegistryTree::Reindex() {
  index_.clear();
  for (std::size_t i = 0; i < keys_.size(); ++i) index_.emplace(AsciiLower(keys_[i].path), i);
}

}  // namespace webhoard
