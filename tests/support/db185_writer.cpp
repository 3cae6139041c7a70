#include "support/db185_writer.h"

#include <fcntl.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <stdexcept>

// The classic DB 1.85 interface. The library ships without a header, so its
// structures are declared here as the 1.85 db.h lays them out; a round-trip
// test checks that the library agrees.
extern "C" {
struct Db185Dbt {
  void* data;
  std::size_t size;
};

enum Db185Type { kDb185Btree, kDb185Hash, kDb185Recno };

struct Db185 {
  Db185Type type;
  int (*close)(Db185*);
  int (*del)(const Db185*, const Db185Dbt*, unsigned);
  int (*get)(const Db185*, const Db185Dbt*, Db185Dbt*, unsigned);
  int (*put)(const Db185*, Db185Dbt*, const Db185Dbt*, unsigned);
  int (*seq)(const Db185*, Db185Dbt*, Db185Dbt*, unsigned);
  int (*sync)(const Db185*, unsigned);
  void* internal;
  int (*fd)(const Db185*);
};

struct Db185HashInfo {
  unsigned bsize;
  unsigned ffactor;
  unsigned nelem;
  unsigned cachesize;
  std::uint32_t (*hash)(const void*, std::size_t);
  int lorder;
};

Db185* dbopen(const char* file, int flags, int mode, Db185Type type, const void* info);
}

namespace webhoard::testing {
namespace {

constexpr unsigned kFirst = 3;  // R_FIRST
constexpr unsigned kNext = 7;   // R_NEXT

// The library calls the hash function without context; tests run on one
// thread, so one slot is enough.
std::uint32_t g_fixed_hash = 0;
std::uint32_t FixedHash(const void*, std::size_t) {
  return g_fixed_hash;
}

Db185Dbt Thing(std::string_view bytes) {
  return {const_cast<char*>(bytes.data()), bytes.size()};
}

std::string Text(const Db185Dbt& thing) {
  return {static_cast<const char*>(thing.data), thing.size};
}

}  // namespace

struct Db185HashFile::Handle : Db185 {};

Db185HashFile::Db185HashFile(const std::string& path, const Options& options) {
  Db185HashInfo info{};
  info.bsize = options.page_size;
  info.lorder = options.byte_order;
  if (options.fixed_hash) {
    g_fixed_hash = *options.fixed_hash;
    info.hash = FixedHash;
  }
  Db185* db = dbopen(path.c_str(), O_CREAT | O_TRUNC | O_RDWR, 0644, kDb185Hash, &info);
  if (db == nullptr) {
    throw std::runtime_error("dbopen " + path + ": " + std::strerror(errno));
  }
  db_ = static_cast<Handle*>(db);
}

Db185HashFile::~Db185HashFile() {
  Close();
}

void Db185HashFile::Close() {
  if (db_ == nullptr) return;
  Db185* db = db_;
  db_ = nullptr;
  if (db->close(db) != 0) throw std::runtime_error("closing a hash file failed");
}

void Db185HashFile::Put(std::string_view key, std::string_view data) {
  Db185Dbt k = Thing(key);
  const Db185Dbt d = Thing(data);
  if (db_->put(db_, &k, &d, 0) != 0) throw std::runtime_error("put failed");
}

bool Db185HashFile::Delete(std::string_view key) {
  const Db185Dbt k = Thing(key);
  const int result = db_->del(db_, &k, 0);
  if (result < 0) throw std::runtime_error("del failed");
  return result == 0;
}

std::optional<std::string> Db185HashFile::Get(std::string_view key) const {
  const Db185Dbt k = Thing(key);
  Db185Dbt d{};
  const int result = db_->get(db_, &k, &d, 0);
  if (result < 0) throw std::runtime_error("get failed");
  if (result != 0) return std::nullopt;
  return Text(d);
}

std::vector<std::pair<std::string, std::string>> Db185HashFile::All() const {
  std::vector<std::pair<std::string, std::string>> pairs;
  Db185Dbt k{};
  Db185Dbt d{};
  for (int result = db_->seq(db_, &k, &d, kFirst); result == 0;
       result = db_->seq(db_, &k, &d, kNext)) {
    pairs.emplace_back(Text(k), Text(d));
  }
  return pairs;
}

NavigatorDatabaseWriter::NavigatorDatabaseWriter(const std::string& path,
                                                 const Db185HashFile::Options& options)
    : file_(path, options) {
  file_.Put(kExternalCacheNameKey, kInternalCacheName);
  StoreCounters();
}

void NavigatorDatabaseWriter::AddRecord(const NavigatorRecord& record) {
  const std::string key = NavigatorKey(record.url);
  if (!file_.Get(key)) ++number_;
  file_.Put(key, NavigatorData(record));
  size_ += record.content_length;
  StoreCounters();
}

bool NavigatorDatabaseWriter::RemoveRecord(std::string_view url) {
  if (!file_.Delete(NavigatorKey(url))) return false;
  --number_;
  StoreCounters();
  return true;
}

void NavigatorDatabaseWriter::StoreCounters() {
  file_.Put(kDiskCacheSizeKey, LittleEndian32(size_));
  file_.Put(kDiskCacheNumberKey, LittleEndian32(number_));
}

}  // namespace webhoard::testing
