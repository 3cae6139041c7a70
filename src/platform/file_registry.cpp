// The file registry's rules, the same on every system; the file-system
// steps that differ sit in file_registry_files.h.
#include "platform/file_registry.h"

#include "common/file_util.h"
#include "platform/file_registry_files.h"
#include "platform/regedit_format.h"

namespace webhoard {
namespace {

using registry_files::FileLock;
using registry_files::IsMissing;
using registry_files::KeepDamagedCopy;
using registry_files::MakePrivateFolders;

}  // namespace

std::string FileRegistry::FilePath(RegistryRoot root) const {
  return JoinPath(folder_, std::string(RegistryRootName(root)) + ".reg");
}

FileRegistry::FileState FileRegistry::Load(RegistryRoot root, RegistryTree& tree) const {
  const std::string path = FilePath(root);
  if (IsMissing(path)) {
    tree = RegistryTree();
    return FileState::kMissing;
  }
  const auto bytes = ReadFileBytes(path, kMaxRegistryFileBytes);
  auto parsed = bytes ? ParseRegistryFile(*bytes) : std::nullopt;
  if (!parsed) {
    tree = RegistryTree();
    return FileState::kDamaged;
  }
  tree = std::move(*parsed);
  return FileState::kGood;
}

template <typename Change>
bool FileRegistry::Modify(RegistryRoot root, Change change) {
  if (!MakePrivateFolders(folder_)) return false;
  const std::string path = FilePath(root);
  FileLock lock(path + ".lock");
  if (!lock.locked()) return false;
  RegistryTree tree;
  const FileState state = Load(root, tree);
  if (!change(tree)) return true;
  if (state == FileState::kDamaged && !KeepDamagedCopy(path)) return false;
  return WriteFileAtomically(path, FormatRegistryFile(tree), path + ".tmp");
}

bool FileRegistry::KeyExists(RegistryRoot root, std::string_view path) {
  const auto full = FullKeyPath(root, path);
  if (!full) return false;
  if (full->size() == RegistryRootName(root).size()) return true;
  RegistryTree tree;
  Load(root, tree);
  return tree.KeyExists(*full);
}

bool FileRegistry::CreateKey(RegistryRoot root, std::string_view path) {
  const auto full = FullKeyPath(root, path);
  if (!full) return false;
  if (full->size() == RegistryRootName(root).size()) return true;
  return Modify(root, [&](RegistryTree& tree) {
    if (tree.KeyExists(*full)) return false;
    tree.CreateKey(*full);
    return true;
  });
}

std::optional<std::string> FileRegistry::ReadString(RegistryRoot root, std::string_view path,
                                                    std::string_view name) {
  const auto full = FullKeyPath(root, path);
  if (!full) return std::nullopt;
  RegistryTree tree;
  Load(root, tree);
  return tree.ReadString(*full, name);
}

bool FileRegistry::WriteString(RegistryRoot root, std::string_view path, std::string_view name,
                               std::string_view value) {
  const auto full = FullKeyPath(root, path);
  if (!full) return false;
  return Modify(root, [&](RegistryTree& tree) { return tree.SetString(*full, name, value); });
}

}  // namespace webhoard
