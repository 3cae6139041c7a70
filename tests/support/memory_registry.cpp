#include "support/memory_registry.h"

namespace webhoard::testing {
namespace {

int Index(RegistryRoot root) {
  return root == RegistryRoot::kLocalMachine ? 1 : 0;
}

}  // namespace

bool MemoryRegistry::KeyExists(RegistryRoot root, std::string_view path) {
  const auto full = FullKeyPath(root, path);
  if (!full) return false;
  return full->size() == RegistryRootName(root).size() || trees_[Index(root)].KeyExists(*full);
}

bool MemoryRegistry::CreateKey(RegistryRoot root, std::string_view path) {
  const auto full = FullKeyPath(root, path);
  if (!full) return false;
  if (KeyExists(root, path)) return true;
  if (read_only_) return false;
  trees_[Index(root)].CreateKey(*full);
  ++writes_;
  return true;
}

std::optional<std::string> MemoryRegistry::ReadString(RegistryRoot root, std::string_view path,
                                                      std::string_view name) {
  const auto full = FullKeyPath(root, path);
  if (!full) return std::nullopt;
  return trees_[Index(root)].ReadString(*full, name);
}

bool MemoryRegistry::WriteString(RegistryRoot root, std::string_view path, std::string_view name,
                                 std::string_view value) {
  const auto full = FullKeyPath(root, path);
  if (!full || read_only_) return false;
  trees_[Index(root)].SetString(*full, name, value);
  ++writes_;
  return true;
}

void MemoryRegistry::WriteOther(RegistryRoot root, std::string_view path, std::string_view name,
                                std::string_view raw) {
  if (const auto full = FullKeyPath(root, path)) trees_[Index(root)].SetOther(*full, name, raw);
}

}  // namespace webhoard::testing
