// The URL cache of a Windows build: WinINet itself. The interface keeps
// WinINet's calls and error numbers, so the work here is the copy of each
// entry out of WinINet's buffer and the caller's buffer-size rule: an entry
// too large for the caller's buffer is kept back and handed out on the next
// call that brings a buffer large enough.
//
// WinINet serves only the current user's own cache; a container named by
// folder cannot be opened through it.
#include <windows.h>
// wininet.h needs the types of windows.h.
#include <wininet.h>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "common/ascii.h"
#include "platform/url_cache.h"

namespace webhoard {
namespace {

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string Text(const char* text) {
  return text != nullptr ? std::string(text) : std::string();
}

UrlCacheEntry EntryOf(const INTERNET_CACHE_ENTRY_INFOA& info) {
  UrlCacheEntry entry;
  entry.source_url_name = Text(info.lpszSourceUrlName);
  entry.local_file_name = Text(info.lpszLocalFileName);
  entry.cache_entry_type = info.CacheEntryType;
  entry.use_count = info.dwUseCount;
  entry.hit_rate = info.dwHitRate;
  entry.size = (static_cast<std::uint64_t>(info.dwSizeHigh) << 32) | info.dwSizeLow;
  entry.last_modified_time = Ticks(info.LastModifiedTime);
  entry.expire_time = Ticks(info.ExpireTime);
  entry.last_access_time = Ticks(info.LastAccessTime);
  entry.last_sync_time = Ticks(info.LastSyncTime);
  if (info.lpHeaderInfo != nullptr) {
    entry.header_info.assign(info.lpHeaderInfo, info.dwHeaderInfoSize);
  }
  entry.file_extension = Text(info.lpszFileExtension);
  entry.exempt_delta = info.dwExemptDelta;
  return entry;
}

bool ListsEverything(const std::string& pattern) {
  return pattern.empty() || pattern == "*.*";
}

class WinInetUrlCache final : public UrlCache {
 public:
  UrlCacheFindHandle FindFirstUrlCacheEntry(const char* pattern, UrlCacheEntry& entry,
                                            std::uint32_t& buffer_size) override {
    Enumeration find;
    find.pattern = pattern != nullptr ? pattern : "";
    // The pattern picks WinINet's container ("visited:", "cookie:"); the
    // prefix rule of the interface is applied to the entries as they come.
    const char* selector = ListsEverything(find.pattern) ? nullptr : find.pattern.c_str();
    std::optional<UrlCacheEntry> first;
    for (;;) {
      DWORD size = Capacity();
      HANDLE handle = ::FindFirstUrlCacheEntryA(selector, Info(), &size);
      if (handle == nullptr && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        Grow(size);
        continue;
      }
      if (handle == nullptr) return Fail(::GetLastError()), 0;
      find.handle = handle;
      first = EntryOf(*Info());
      break;
    }
    if (!Matches(find, *first) && !(first = Fetch(find))) {
      ::FindCloseUrlCache(find.handle);
      return 0;
    }
    if (first->StructSize() > buffer_size) {
      buffer_size = first->StructSize();
      ::FindCloseUrlCache(find.handle);
      return Fail(kErrorInsufficientBuffer), 0;
    }
    entry = std::move(*first);
    const UrlCacheFindHandle id = next_handle_++;
    finds_.emplace(id, std::move(find));
    return id;
  }

  bool FindNextUrlCacheEntry(UrlCacheFindHandle handle, UrlCacheEntry& entry,
                             std::uint32_t& buffer_size) override {
    const auto it = finds_.find(handle);
    if (it == finds_.end()) return Fail(kErrorInvalidHandle);
    Enumeration& find = it->second;
    if (!find.held) {
      find.held = Fetch(find);
      if (!find.held) return false;
    }
    if (find.held->StructSize() > buffer_size) {
      buffer_size = find.held->StructSize();
      return Fail(kErrorInsufficientBuffer);
    }
    entry = std::move(*find.held);
    find.held.reset();
    return true;
  }

  bool FindCloseUrlCache(UrlCacheFindHandle handle) override {
    if (handle == 0) return true;
    const auto it = finds_.find(handle);
    if (it == finds_.end()) return Fail(kErrorInvalidHandle);
    ::FindCloseUrlCache(it->second.handle);
    finds_.erase(it);
    return true;
  }

  bool DeleteUrlCacheEntry(std::string_view source_url_name) override {
    const std::string name(source_url_name);
    if (name.size() != source_url_name.size() || name.find('\0') != std::string::npos) {
      return Fail(kErrorFileNotFound);
    }
    if (::DeleteUrlCacheEntryA(name.c_str()) == 0) return Fail(::GetLastError());
    error_ = kErrorSuccess;
    return true;
  }

  std::uint32_t LastError() const override { return error_; }
  std::string LastErrorText() const override { return UrlCacheErrorWords(error_); }

  ~WinInetUrlCache() override {
    for (auto& open : finds_) ::FindCloseUrlCache(open.second.handle);
  }

 private:
  struct Enumeration {
    HANDLE handle = nullptr;
    std::string pattern;
    std::optional<UrlCacheEntry> held;  // fetched, too large for the last buffer
  };

  bool Matches(const Enumeration& find, const UrlCacheEntry& entry) const {
    return ListsEverything(find.pattern) || StartsWithNoCase(entry.source_url_name, find.pattern);
  }

  // The next entry of the enumeration that matches its pattern.
  std::optional<UrlCacheEntry> Fetch(const Enumeration& find) {
    for (;;) {
      DWORD size = Capacity();
      if (::FindNextUrlCacheEntryA(find.handle, Info(), &size) == 0) {
        if (::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
          Grow(size);
          continue;
        }
        Fail(::GetLastError());
        return std::nullopt;
      }
      UrlCacheEntry entry = EntryOf(*Info());
      if (Matches(find, entry)) return entry;
    }
  }

  DWORD Capacity() const { return static_cast<DWORD>(buffer_.size() * sizeof(buffer_[0])); }
  void Grow(DWORD bytes) { buffer_.resize(bytes / sizeof(buffer_[0]) + 1); }
  INTERNET_CACHE_ENTRY_INFOA* Info() {
    return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer_.data());
  }

  bool Fail(DWORD error) {
    error_ = static_cast<std::uint32_t>(error);
    return false;
  }

  // WinINet's entry buffer; 64-bit words keep the record's pointers aligned.
  std::vector<std::uint64_t> buffer_ = std::vector<std::uint64_t>(512);
  std::map<UrlCacheFindHandle, Enumeration> finds_;
  UrlCacheFindHandle next_handle_ = 1;
  std::uint32_t error_ = kErrorSuccess;
};

// A container WinINet cannot open: every call fails with "file not found".
class NamedContainerUrlCache final : public UrlCache {
 public:
  UrlCacheFindHandle FindFirstUrlCacheEntry(const char*, UrlCacheEntry&, std::uint32_t&) override {
    return 0;
  }
  bool FindNextUrlCacheEntry(UrlCacheFindHandle, UrlCacheEntry&, std::uint32_t&) override {
    return false;
  }
  bool FindCloseUrlCache(UrlCacheFindHandle) override { return true; }
  bool DeleteUrlCacheEntry(std::string_view) override { return false; }
  std::uint32_t LastError() const override { return kErrorFileNotFound; }
  std::string LastErrorText() const override {
    return "on Windows only the current user's own URL cache can be read";
  }
};

}  // namespace

std::unique_ptr<UrlCache> OpenUrlCache(const std::string& container_folder) {
  if (!container_folder.empty()) return std::make_unique<NamedContainerUrlCache>();
  return std::make_unique<WinInetUrlCache>();
}

// WinINet knows its own container; there is no folder to name.
std::string DefaultUrlCacheContainer() {
  return {};
}

}  // namespace webhoard
