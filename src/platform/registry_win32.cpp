// The registry of a Windows build: the system's own, through the "A" calls,
// so that key paths and values stay byte strings in the system code page.
// Every call opens the key it needs and closes it again, as the interface
// promises (a key is a path, not an open handle). Paths are tidied as the
// file store tidies them, so both stores accept and refuse the same paths.
#include <windows.h>

#include <cstdlib>

#include "platform/registry.h"
#include "platform/registry_tree.h"

namespace webhoard {
namespace {

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Closes an open key once.
class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// A NUL inside a path or name would make the system see a shorter one.
// Values may hold one: REG_SZ data carries its length.
bool Usable(std::string_view text) {
  return text.find('\0') == std::string_view::npos;
}

// The tidy form of a usable key path, or nullopt.
std::optional<std::string> SystemKeyPath(std::string_view path) {
  if (!Usable(path)) return std::nullopt;
  return TidyKeyPath(path);
}

class SystemRegistryStore final : public Registry {
 public:
  bool KeyExists(RegistryRoot root, std::string_view path) override {
    const auto key_path = SystemKeyPath(path);
    if (!key_path) return false;
    if (key_path->empty()) return true;
    OpenKey key;
    return ::RegOpenKeyExA(RootKey(root), key_path->c_str(), 0, KEY_READ, key.out()) ==
           ERROR_SUCCESS;
  }

  bool CreateKey(RegistryRoot root, std::string_view path) override {
    const auto key_path = SystemKeyPath(path);
    if (!key_path) return false;
    if (key_path->empty()) return true;
    OpenKey key;
    return Create(root, *key_path, key);
  }

  std::optional<std::string> ReadString(RegistryRoot root, std::string_view path,
                                        std::string_view name) override {
    const auto key_path = SystemKeyPath(path);
    if (!key_path || !Usable(name)) return std::nullopt;
    const std::string value(name);
    // The value may grow between the size query and the read: ask again.
    for (int attempt = 0; attempt < 3; ++attempt) {
      DWORD bytes = 0;
      LSTATUS status = ::RegGetValueA(RootKey(root), key_path->c_str(), value.c_str(),
                                      RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
      if (status != ERROR_SUCCESS) return std::nullopt;
      std::string text(bytes, '\0');
      status = ::RegGetValueA(RootKey(root), key_path->c_str(), value.c_str(), RRF_RT_REG_SZ,
                              nullptr, text.data(), &bytes);
      if (status == ERROR_MORE_DATA) continue;
      if (status != ERROR_SUCCESS) return std::nullopt;
      text.resize(bytes > 0 ? bytes - 1 : 0);  // without the closing NUL
      return text;
    }
    return std::nullopt;
  }

  bool WriteString(RegistryRoot root, std::string_view path, std::string_view name,
                   std::string_view value) override {
    const auto key_path = SystemKeyPath(path);
    if (!key_path || !Usable(name) || value.size() >= 0x7FFFFFFF) return false;
    OpenKey key;
    if (!Create(root, *key_path, key)) return false;
    const std::string text(value);  // with the closing NUL the system expects
    return ::RegSetValueExA(key.get(), std::string(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
  }

 private:
  static bool Create(RegistryRoot root, const std::string& key_path, OpenKey& key) {
    return ::RegCreateKeyExA(RootKey(root), key_path.c_str(), 0, nullptr,
                             REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.out(),
                             nullptr) == ERROR_SUCCESS;
  }
};

}  // namespace

// The file store still has a home on Windows (tests and portable installs
// use it): the user's roaming application data.
std::string RegistryFolder() {
  if (const char* dir = std::getenv("WEBHOARD_CONFIG_DIR"); dir != nullptr && *dir != '\0') {
    std::string folder(dir);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
  }
  if (const char* app_data = std::getenv("APPDATA"); app_data != nullptr && *app_data != '\0') {
    return std::string(app_data) + "\\webhoard";
  }
  return ".\\webhoard";
}

std::string SystemRegistryLocation(std::string_view path) {
  return std::string(RegistryRootName(RegistryRoot::kCurrentUser)) + "\\" + std::string(path);
}

Registry& SystemRegistry() {
  static SystemRegistryStore registry;
  return registry;
}

}  // namespace webhoard
