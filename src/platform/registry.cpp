#include "platform/registry.h"

namespace webhoard {

std::string_view RegistryRootName(RegistryRoot root) {
  return root == RegistryRoot::kLocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::optional<RegistryKey> RegistryKey::Open(Registry& registry, RegistryRoot root,
                                             std::string_view path) {
  if (!registry.KeyExists(root, path)) return std::nullopt;
  return RegistryKey(registry, root, std::string(path));
}

std::optional<RegistryKey> RegistryKey::Create(Registry& registry, RegistryRoot root,
                                               std::string_view path) {
  if (!registry.CreateKey(root, path)) return std::nullopt;
  return RegistryKey(registry, root, std::string(path));
}

std::string RegistryKey::SubPath(std::string_view name) const {
  if (path_.empty()) return std::string(name);
  if (name.empty()) return path_;
  return path_ + "\\" + std::string(name);
}

std::optional<RegistryKey> RegistryKey::OpenSubKey(std::string_view name) const {
  return Open(*registry_, root_, SubPath(name));
}

std::optional<RegistryKey> RegistryKey::CreateSubKey(std::string_view name) const {
  return Create(*registry_, root_, SubPath(name));
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const {
  return registry_->ReadString(root_, path_, name);
}

bool RegistryKey::WriteString(std::string_view name, std::string_view value) const {
  return registry_->WriteString(root_, path_, name, value);
}

}  // namespace webhoard
