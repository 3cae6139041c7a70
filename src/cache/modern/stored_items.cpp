#include "cache/modern/stored_items.h"

#include <ctime>
#include <memory>
#include <string>

#include "cache/mime_types.h"
#include "common/date_time.h"
#include "url/canonical_url.h"

namespace webhoard {
namespace {

std::unique_ptr<TCacheItem> ItemOf(const StoredResponse& response) {
  const CanonicalUrl canonical = CanonicalFromStoredUrl(response.url);
  if (!canonical.usable()) return nullptr;
  auto item = std::make_unique<TCacheItem>();
  item->URL = canonical.url;
  item->Domain = canonical.domain;
  // A type that cannot be written to MIMETYPE.DAT keeps its place for this
  // run only; the item stays, as with the old caches.
  // A response without a type is taken for a page, as the old caches' are.
  const std::string type = response.content_type.empty() ? "text/html" : response.content_type;
  std::string type_file_error;
  item->MimeIndex = LookupMimeType(type, &type_file_error);
  item->Category = MimeTypeCategory(type);
  item->Date = DateTimeFromUnixLocal(static_cast<std::time_t>(response.time));
  item->LocalFile = response.body.file;
  item->Body = response.body;
  return item;
}

}  // namespace

void AppendStoredItems(const StoredResponses& read, TCacheItemList& items,
                       std::uint64_t* unusable) {
  items.reserve(items.size() + read.responses.size());
  for (const StoredResponse& response : read.responses) {
    if (auto item = ItemOf(response)) {
      items.push_back(std::move(item));
    } else if (unusable != nullptr) {
      ++*unusable;
    }
  }
}

}  // namespace webhoard
