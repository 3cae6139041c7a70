// The registry kept as files: one registry export file per root
// (HKEY_CURRENT_USER.reg, HKEY_LOCAL_MACHINE.reg) in one folder. This is
// the registry of the Linux build; see regedit_format.h for the file text.
//
// Reads parse the file as it is on disk, so a value another process wrote is
// seen at the next read. A write takes an exclusive lock on a lock file
// beside the store (NAME.reg.lock), reads the file again, applies the one
// change, writes the whole text to a temporary file, flushes it and renames
// it over the old file: two processes writing at once each keep the other's
// values, and a crash leaves either the old or the new file.
//
// A damaged file (see regedit_format.h), a file that cannot be read and a
// file larger than kMaxRegistryFileBytes read as empty. The first write
// after that keeps the damaged file beside the store as NAME.reg.damaged
// (or .damaged.1, .damaged.2, ... when that name is taken: a kept copy is
// never overwritten), then writes a new file. When the copy cannot be kept,
// the write fails and the file is left alone.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/registry.h"
#include "platform/registry_tree.h"

namespace webhoard {

constexpr std::uint64_t kMaxRegistryFileBytes = 64ull << 20;

class FileRegistry : public Registry {
 public:
  explicit FileRegistry(std::string folder) : folder_(std::move(folder)) {}

  bool KeyExists(RegistryRoot root, std::string_view path) override;
  bool CreateKey(RegistryRoot root, std::string_view path) override;
  std::optional<std::string> ReadString(RegistryRoot root, std::string_view path,
                                        std::string_view name) override;
  bool WriteString(RegistryRoot root, std::string_view path, std::string_view name,
                   std::string_view value) override;

  // The file that holds one root.
  std::string FilePath(RegistryRoot root) const;
  const std::string& folder() const { return folder_; }

 private:
  enum class FileState { kMissing, kGood, kDamaged };
  FileState Load(RegistryRoot root, RegistryTree& tree) const;
  // Under the lock: reads the file, lets `change` edit the tree and, when it
  // answers true, writes the file back.
  template <typename Change>
  bool Modify(RegistryRoot root, Change change);

  std::string folder_;
};

}  // namespace webhoard
