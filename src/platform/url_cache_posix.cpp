// The URL cache read and changed straight from a container's index.dat.
//
// An enumeration works on a snapshot of the file taken when it opens. A
// delete takes an exclusive lock on the index (another program holding a
// lock makes it fail rather than wait), edits a copy of its bytes and
// replaces the file through a temporary file and a rename, so the index is
// either the old one or the new one, never a mixture.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "common/ascii.h"
#include "common/file_util.h"
#include "platform/index_dat_delete.h"
#include "platform/index_dat_format.h"
#include "platform/index_dat_hash.h"
#include "platform/local_path.h"
#include "platform/url_cache.h"

namespace webhoard {
namespace {

using index_dat::Header;
using index_dat::UrlRecord;

constexpr const char* kIndexName = "index.dat";

// An open descriptor of index.dat holding an open-file-description lock.
class LockedIndex {
 public:
  ~LockedIndex() {
    if (fd_ >= 0) ::close(fd_);
  }
  // Opens the index and locks it: shared for reading, exclusive for writing.
  // Answers 0 or the error number to report.
  std::uint32_t Open(const std::string& path, bool exclusive, std::string& why) {
    // A writer replaces the file by renaming a new one over it; a lock won
    // on the replaced file would guard nothing, so check the path still
    // names the locked file and start again when it does not.
    for (int attempt = 0; attempt < 5; ++attempt) {
      fd_ = ::open(path.c_str(), (exclusive ? O_RDWR : O_RDONLY) | O_CLOEXEC);
      if (fd_ < 0) {
        why = path + ": " + ErrnoText(errno);
        return errno == ENOENT ? kErrorFileNotFound : kErrorAccessDenied;
      }
      struct flock lock {};
      lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
      lock.l_whence = SEEK_SET;
      if (::fcntl(fd_, F_OFD_SETLK, &lock) != 0) {
        why = path + ": another program is changing it";
        return exclusive ? kErrorSharingViolation : kErrorServiceNotActive;
      }
      struct stat opened {
      }, named{};
      if (::fstat(fd_, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
          opened.st_ino == named.st_ino && opened.st_dev == named.st_dev) {
        return 0;
      }
      ::close(fd_);
      fd_ = -1;
    }
    why = path + ": it keeps being replaced";
    return kErrorServiceNotActive;
  }

  std::optional<std::string> ReadAll() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > index_dat::kMaxFileSize) {
      return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n =
          ::pread(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return std::nullopt;
      done += static_cast<std::size_t>(n);
    }
    return bytes;
  }

 private:
  int fd_ = -1;
};

Bytes AsBytes(const std::string& s) {
  return Bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

bool MatchesPattern(const std::string& pattern, const std::string& url) {
  if (pattern.empty() || pattern == "*.*") return true;
  return StartsWithNoCase(url, pattern);
}

class IndexDatUrlCache : public UrlCache {
 public:
  explicit IndexDatUrlCache(std::string container) : container_(std::move(container)) {}

  UrlCacheFindHandle FindFirstUrlCacheEntry(const char* pattern, UrlCacheEntry& entry,
                                            std::uint32_t& buffer_size) override {
    Enumeration find;
    find.pattern = pattern != nullptr ? pattern : "";
    LockedIndex index;
    std::string why;
    if (const auto error = index.Open(IndexPath(), false, why); error != 0)
      return Fail(error, why), 0;
    auto bytes = index.ReadAll();
    if (!bytes) return Fail(kErrorFileCorrupt, IndexPath() + ": cannot be read whole"), 0;
    find.bytes = std::move(*bytes);
    auto header = index_dat::ParseHeader(AsBytes(find.bytes), &why);
    if (!header) return Fail(kErrorFileCorrupt, IndexPath() + ": " + why), 0;
    find.header = std::move(*header);
    find.items = index_dat::WalkHashTable(AsBytes(find.bytes), find.header).url_items;
    if (!Next(find, entry, buffer_size)) return 0;
    const UrlCacheFindHandle handle = next_handle_++;
    finds_.emplace(handle, std::move(find));
    return handle;
  }

  bool FindNextUrlCacheEntry(UrlCacheFindHandle handle, UrlCacheEntry& entry,
                             std::uint32_t& buffer_size) override {
    const auto it = finds_.find(handle);
    if (it == finds_.end()) return Fail(kErrorInvalidHandle, "no such enumeration");
    return Next(it->second, entry, buffer_size);
  }

  bool FindCloseUrlCache(UrlCacheFindHandle handle) override {
    if (handle == 0) return true;
    if (finds_.erase(handle) == 0) return Fail(kErrorInvalidHandle, "no such enumeration");
    return true;
  }

  bool DeleteUrlCacheEntry(std::string_view source_url_name) override;

  std::uint32_t LastError() const override { return error_; }
  std::string LastErrorText() const override { return error_text_; }

 private:
  struct Enumeration {
    std::string pattern;
    std::string bytes;
    Header header;
    std::vector<index_dat::HashItem> items;
    std::size_t next = 0;
  };

  std::string IndexPath() const { return JoinPath(container_, kIndexName); }

  bool Fail(std::uint32_t error, std::string text) {
    error_ = error;
    error_text_ = std::move(text);
    return false;
  }

  // Where the record's cached file lives; empty when the index names none,
  // names no cache folder (as WinINet, which gives such entries no file), or
  // names one that would lead outside its cache folder.
  std::string LocalPath(const Header& header, const UrlRecord& record) const {
    if (!index_dat::IsSafePathComponent(record.file_name)) return {};
    if (record.folder_index >= header.folders.size()) return {};
    const std::string& folder = header.folders[record.folder_index].name;
    if (folder.empty()) return {};
    return JoinPath(JoinPath(container_, folder), record.file_name);
  }

  bool Next(Enumeration& find, UrlCacheEntry& entry, std::uint32_t& buffer_size) {
    const Bytes bytes = AsBytes(find.bytes);
    while (find.next < find.items.size()) {
      const auto record =
          index_dat::ParseUrlRecord(bytes, find.items[find.next].record_offset, nullptr);
      if (!record || !MatchesPattern(find.pattern, record->url)) {
        ++find.next;
        continue;
      }
      UrlCacheEntry found;
      found.source_url_name = record->url;
      found.local_file_name = LocalPath(find.header, *record);
      found.cache_entry_type = record->cache_entry_type;
      found.use_count = record->use_count;
      found.hit_rate = record->hit_rate;
      found.size = record->size;
      found.last_modified_time = record->last_modified_time;
      found.expire_time = index_dat::DosDateTimeToFileTime(record->expire_dos);
      found.last_access_time = record->last_access_time;
      found.last_sync_time = index_dat::DosDateTimeToFileTime(record->last_sync_dos);
      found.header_info = record->header_info;
      found.file_extension = record->file_extension;
      found.exempt_delta = record->exempt_delta;
      const std::uint32_t needed = found.StructSize();
      if (needed > buffer_size) {
        // Left in place, so a caller with a larger buffer can take it.
        buffer_size = needed;
        return Fail(kErrorInsufficientBuffer,
                    "the entry for " + record->url + " needs " + std::to_string(needed) + " bytes");
      }
      buffer_size = needed;
      entry = std::move(found);
      ++find.next;
      return true;
    }
    return Fail(kErrorNoMoreItems, "no more entries");
  }

  std::string container_;
  std::map<UrlCacheFindHandle, Enumeration> finds_;
  UrlCacheFindHandle next_handle_ = 1;
  std::uint32_t error_ = 0;
  std::string error_text_;
};

bool IndexDatUrlCache::DeleteUrlCacheEntry(std::string_view source_url_name) {
  const std::string path = IndexPath();
  LockedIndex index;
  std::string why;
  if (const auto error = index.Open(path, true, why); error != 0) return Fail(error, why);
  auto bytes = index.ReadAll();
  if (!bytes) return Fail(kErrorFileCorrupt, path + ": cannot be read whole");
  const auto header = index_dat::ParseHeader(AsBytes(*bytes), &why);
  if (!header) return Fail(kErrorFileCorrupt, path + ": " + why);
  // A file WinINet would refuse is left exactly as it is: writing it back
  // would not mend it, and changing it could hide what happened.
  if (auto broken = index_dat::CheckOpenInvariants(AsBytes(*bytes)); !broken.empty()) {
    return Fail(kErrorFileCorrupt, path + ": " + broken);
  }
  std::string damage;
  const auto removal = index_dat::FindEntry(AsBytes(*bytes), *header, source_url_name, &damage);
  if (!removal && !damage.empty()) return Fail(kErrorFileCorrupt, path + ": " + damage);
  if (!removal) return Fail(kErrorFileNotFound, std::string(source_url_name) + " is not cached");

  // The cached file is first moved aside, so that a failure to save the
  // index can put it back and leave the cache exactly as it was.
  const std::string local = LocalPath(*header, removal->record);
  std::string aside;
  if (!local.empty()) {
    aside = local + ".webhoard-deleting";
    if (::rename(local.c_str(), aside.c_str()) != 0) {
      if (errno != ENOENT) return Fail(kErrorAccessDenied, local + ": " + ErrnoText(errno));
      aside.clear();  // already gone: nothing to delete
    }
  }
  std::span<std::uint8_t> edit(reinterpret_cast<std::uint8_t*>(bytes->data()), bytes->size());
  index_dat::RemoveEntry(edit, *removal);
  std::string write_error;
  if (!WriteFileAtomically(path, *bytes, path + ".webhoard-tmp", &write_error)) {
    if (!aside.empty()) ::rename(aside.c_str(), local.c_str());
    return Fail(kErrorWriteFault, path + ": " + write_error);
  }
  if (!aside.empty()) ::unlink(aside.c_str());
  error_ = 0;
  error_text_.clear();
  return true;
}

std::string CurrentUserName() {
  if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') return user;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_name != nullptr) {
    return pw->pw_name;
  }
  return {};
}

}  // namespace

std::unique_ptr<UrlCache> OpenUrlCache(const std::string& container_folder) {
  return std::make_unique<IndexDatUrlCache>(container_folder.empty() ? DefaultUrlCacheContainer()
                                                                     : container_folder);
}

std::string DefaultUrlCacheContainer() {
  const std::string prefix = WinePrefix();
  if (prefix.empty()) return {};
  const std::string user = CurrentUserName();
  if (user.empty()) return {};
  const std::string profile = JoinPath(JoinPath(prefix, "drive_c/users"), user);
  const std::string candidates[] = {
      JoinPath(profile, "AppData/Local/Microsoft/Windows/INetCache/Content.IE5"),
      JoinPath(profile, "AppData/Local/Microsoft/Windows/Temporary Internet Files/Content.IE5"),
      JoinPath(profile, "Local Settings/Temporary Internet Files/Content.IE5"),
  };
  for (const std::string& folder : candidates) {
    if (FileExists(JoinPath(folder, kIndexName))) return folder;
  }
  return candidates[0];
}

}  // namespace webhoard
