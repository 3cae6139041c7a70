#include "platform/url_cache.h"

#include "common/system_error_text.h"

namespace webhoard {
namespace {

std::uint64_t Align4(std::uint64_t n) {
  return (n + 3) & ~std::uint64_t{3};
}

}  // namespace

std::string UrlCacheErrorWords(std::uint32_t error) {
  switch (error) {
    case kErrorSuccess:
      return "no error";
    case kErrorFileNotFound:
      return "no such index.dat or entry";
    case kErrorAccessDenied:
      return "access denied";
    case kErrorInvalidHandle:
      return "the listing was already closed";
    case kErrorSharingViolation:
      return "another program is writing index.dat";
    case kErrorInsufficientBuffer:
      return "an entry is too large to be read";
    case kErrorNoMoreItems:
      return "no more entries";
    case kErrorServiceNotActive:
      return "the cache is busy (another program is changing it)";
    case kErrorFileCorrupt:
      return "index.dat is damaged";
    case kErrorWriteFault:
      return "index.dat could not be saved";
    default:
      return SystemErrorText(error);  // the system's words, where it has them
  }
}

std::uint32_t UrlCacheEntry::StructSize() const {
  std::uint64_t total = kUrlCacheEntryFixedSize;
  total += Align4(source_url_name.size() + 1);
  if (!local_file_name.empty()) total += Align4(local_file_name.size() + 1);
  total += Align4(header_info.size());
  if (!file_extension.empty()) total += Align4(file_extension.size() + 1);
  return total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(total);
}

}  // namespace webhoard
