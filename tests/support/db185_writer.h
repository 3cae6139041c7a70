// Genuine Berkeley DB 1.85 hash files, written through the real library
// (libdb1.so.2 of Debian's libdb1-compat), so the index reader is checked
// against files made by an implementation that is not ours.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/navigator_index_writer.h"

namespace webhoard::testing {

class Db185HashFile {
 public:
  struct Options {
    std::uint32_t page_size = 4096;
    // 0: the machine's byte order; 4321: big-endian page tables.
    int byte_order = 0;
    // When set, every key hashes to this value (to build empty buckets).
    std::optional<std::uint32_t> fixed_hash;
  };

  // Creates (truncating) a hash file at `path`; throws when the library
  // refuses.
  Db185HashFile(const std::string& path, const Options& options);
  ~Db185HashFile();
  Db185HashFile(const Db185HashFile&) = delete;
  Db185HashFile& operator=(const Db185HashFile&) = delete;

  // Stores a pair, replacing an existing one with the same key.
  void Put(std::string_view key, std::string_view data);
  // Removes a pair; false when there was none.
  bool Delete(std::string_view key);
  std::optional<std::string> Get(std::string_view key) const;
  // Every pair, in the library's own sequential order.
  std::vector<std::pair<std::string, std::string>> All() const;
  // Writes everything out and closes the file (also done by the destructor).
  void Close();

 private:
  struct Handle;
  Handle* db_ = nullptr;
};

// A cache index kept the way Navigator kept it: the cache name stored when
// the index is made, each record stored under its key, and the two counters
// rewritten after every change (which keeps them at the low end of their
// page, where the reader expects them).
class NavigatorDatabaseWriter {
 public:
  NavigatorDatabaseWriter(const std::string& path, const Db185HashFile::Options& options);

  void AddRecord(const NavigatorRecord& record);
  bool RemoveRecord(std::string_view url);
  void Close() { file_.Close(); }
  Db185HashFile& file() { return file_; }

 private:
  void StoreCounters();

  Db185HashFile file_;
  std::uint32_t number_ = 0;
  std::uint32_t size_ = 0;
};

}  // namespace webhoard::testing
