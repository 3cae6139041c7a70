// The registry: a tree of keys under a few roots, each key holding named
// values. Webhoard keeps its settings in it and finds the Netscape Navigator
// cache through it. Callers see only this header; on Linux the registry is a
// set of text files in the registry export format (file_registry.h), and a
// Windows build can put the real registry behind the same interface.
//
// Key paths are relative to a root and separated by "\" ("Software\Tarnwell").
// Key and value names are matched without regard to ASCII case and keep the
// case they were first written in. Only string values (REG_SZ) are read and
// written; a value of any other type reads as absent.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace webhoard {

enum class RegistryRoot {
  kCurrentUser,   // HKEY_CURRENT_USER
  kLocalMachine,  // HKEY_LOCAL_MACHINE
};

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
std::string_view RegistryRootName(RegistryRoot root);

// The store behind the keys. Every operation stands alone: a key is a path,
// not an open handle, so two processes sharing one store see each other's
// writes at the next read.
class Registry {
 public:
  virtual ~Registry() = default;

  // True when the key exists (an empty path names the root, which always does).
  virtual bool KeyExists(RegistryRoot root, std::string_view path) = 0;
  // Creates the key and any missing keys above it; true when it exists afterwards.
  virtual bool CreateKey(RegistryRoot root, std::string_view path) = 0;
  // The string value `name` of the key ("" names the key's default value);
  // nullopt when the key or value does not exist or the value is not a string.
  virtual std::optional<std::string> ReadString(RegistryRoot root, std::string_view path,
                                                std::string_view name) = 0;
  // Stores a string value, creating the key when it is missing. False when the
  // store could not be written; the stored state is then unchanged.
  virtual bool WriteString(RegistryRoot root, std::string_view path, std::string_view name,
                           std::string_view value) = 0;
};

// An opened key: a registry, a root and a path. Cheap to copy. Opening checks
// that the key exists at that moment; a key deleted later simply reads as
// empty.
class RegistryKey {
 public:
  // The key when it exists, else nullopt.
  static std::optional<RegistryKey> Open(Registry& registry, RegistryRoot root,
                                         std::string_view path);
  // The key, created with the keys above it when missing; nullopt on failure.
  static std::optional<RegistryKey> Create(Registry& registry, RegistryRoot root,
                                           std::string_view path);

  // A sub-key opened for one access, when it exists.
  std::optional<RegistryKey> OpenSubKey(std::string_view name) const;
  // A sub-key, created when missing; nullopt on failure.
  std::optional<RegistryKey> CreateSubKey(std::string_view name) const;

  std::optional<std::string> ReadString(std::string_view name) const;
  bool WriteString(std::string_view name, std::string_view value) const;

  RegistryRoot root() const { return root_; }
  const std::string& path() const { return path_; }

 private:
  RegistryKey(Registry& registry, RegistryRoot root, std::string path)
      : registry_(&registry), root_(root), path_(std::move(path)) {}
  std::string SubPath(std::string_view name) const;

  Registry* registry_;
  RegistryRoot root_;
  std::string path_;
};

// The registry of this user and machine, created at first use. On Linux it
// is the file store in RegistryFolder(); on Windows, the system's registry.
Registry& SystemRegistry();

// Where the file store keeps its files: $WEBHOARD_CONFIG_DIR, else
// $XDG_CONFIG_HOME/webhoard, else $HOME/.config/webhoard (no trailing "/");
// on Windows $WEBHOARD_CONFIG_DIR, else %APPDATA%\webhoard.
std::string RegistryFolder();

// Where SystemRegistry() keeps the key at `path` below the current user's
// root, for telling the user: the file store's folder, or on Windows the
// key's full name ("HKEY_CURRENT_USER\Software\...").
std::string SystemRegistryLocation(std::string_view path);

}  // namespace webhoard
