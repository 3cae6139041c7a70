#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/file_util.h"
#include "platform/file_registry.h"
#include "platform/regedit_format.h"

namespace webhoard {
namespace {

// The full path of a key in the tree, or nullopt for a path no registry
// accepts.
std::optional<std::string> FullPath(RegistryRoot root, std::string_view path) {
  const auto tidy = TidyKeyPath(path);
  if (!tidy) return std::nullopt;
  std::string full(RegistryRootName(root));
  if (!tidy->empty()) full += "\\" + *tidy;
  return full;
}

// Creates the folder and the folders above it (mode 0700: settings are the
// user's own business).
bool MakeFolders(const std::string& folder) {
  if (folder.empty() || DirectoryExists(folder)) return true;
  const auto slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) {
    return false;
  }
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// Holds an exclusive lock on a lock file for as long as it lives.
class FileLock {
 public:
  explicit FileLock(const std::string& path)
      : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool locked() const { return fd_ >= 0; }

 private:
  int fd_;
};

// Keeps the damaged file under a name that is not yet taken. A hard link
// keeps it without ever replacing an existing file; where links are not
// supported, a rename to a name checked to be free (we hold the lock).
bool KeepDamagedCopy(const std::string& path) {
  for (int n = 0; n < 1000; ++n) {
    const std::string aside = path + ".damaged" + (n == 0 ? "" : "." + std::to_string(n));
    if (::link(path.c_str(), aside.c_str()) == 0) return true;
    if (errno == EEXIST) continue;
    struct stat st {};
    if (::lstat(aside.c_str(), &st) == 0) continue;
    return errno == ENOENT && ::rename(path.c_str(), aside.c_str()) == 0;
  }
  return false;
}

}  // namespace

std::string FileRegistry::FilePath(RegistryRoot root) const {
  return JoinPath(folder_, std::string(RegistryRootName(root)) + ".reg");
}

FileRegistry::FileState FileRegistry::Load(RegistryRoot root, RegistryTree& tree) const {
  const std::string path = FilePath(root);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
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
  if (!MakeFolders(folder_)) return false;
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
  const auto full = FullPath(root, path);
  if (!full) return false;
  if (full->size() == RegistryRootName(root).size()) return true;
  RegistryTree tree;
  Load(root, tree);
  return tree.KeyExists(*full);
}

bool FileRegistry::CreateKey(RegistryRoot root, std::string_view path) {
  const auto full = FullPath(root, path);
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
  const auto full = FullPath(root, path);
  if (!full) return std::nullopt;
  RegistryTree tree;
  Load(root, tree);
  return tree.ReadString(*full, name);
}

bool FileRegistry::WriteString(RegistryRoot root, std::string_view path, std::string_view name,
                               std::string_view value) {
  const auto full = FullPath(root, path);
  if (!full) return false;
  return Modify(root, [&](RegistryTree& tree) { return tree.SetString(*full, name, value); });
}

}  // namespace webhoard
