// A registry held in memory, for tests of code that reads and writes the
// registry. It keeps the same rules of names and case as the file store (it
// shares its tree), and can be told to fail every write.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/registry_tree.h"

namespace webhoard::testing {

class MemoryRegistry : public Registry {
 public:
  bool KeyExists(RegistryRoot root, std::string_view path) override;
  bool CreateKey(RegistryRoot root, std::string_view path) override;
  std::optional<std::string> ReadString(RegistryRoot root, std::string_view path,
                                        std::string_view name) override;
  bool WriteString(RegistryRoot root, std::string_view path, std::string_view name,
                   std::string_view value) override;

  // Stores a value of another type than a string (as a file imported from
  // elsewhere may hold), e.g. "dword:00000001".
  void WriteOther(RegistryRoot root, std::string_view path, std::string_view name,
                  std::string_view raw);
  // While set, every write fails and changes nothing.
  void set_read_only(bool read_only) { read_only_ = read_only; }
  // Number of successful writes (key creations included).
  int writes() const { return writes_; }

 private:
  RegistryTree trees_[2];
  bool read_only_ = false;
  int writes_ = 0;
};

}  // namespace webhoard::testing
