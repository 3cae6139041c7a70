// The URL cache of a Windows build. WinINet itself will stand behind the
// interface here; until it does, every call fails with "service not active",
// which the readers report as a cache that cannot be read, never as an
// empty one.
#include "platform/url_cache.h"

namespace webhoard {
namespace {

constexpr const char* kNotAvailable = "the URL cache is not available in this build";

class UnavailableUrlCache final : public UrlCache {
 public:
  UrlCacheFindHandle FindFirstUrlCacheEntry(const char*, UrlCacheEntry&,
                                            std::uint32_t&) override {
    return 0;
  }
  bool FindNextUrlCacheEntry(UrlCacheFindHandle, UrlCacheEntry&, std::uint32_t&) override {
    return false;
  }
  bool FindCloseUrlCache(UrlCacheFindHandle) override { return true; }
  bool DeleteUrlCacheEntry(std::string_view) override { return false; }
  std::uint32_t LastError() const override { return kErrorServiceNotActive; }
  std::string LastErrorText() const override { return kNotAvailable; }
};

}  // namespace

std::unique_ptr<UrlCache> OpenUrlCache(const std::string&) {
  return std::make_unique<UnavailableUrlCache>();
}

// WinINet knows its own container; there is no folder to name.
std::string DefaultUrlCacheContainer() {
  return {};
}

}  // namespace webhoard
