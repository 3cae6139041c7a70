// Cache items from the stored responses of today's browser caches: the same
// fields as the items of the old caches, with the body's place kept so that
// the archive run copies (and decodes) only the body.
#pragma once

#include <cstdint>

#include "cache/cache_item.h"
#include "cache/http/stored_response.h"

namespace webhoard {

// Appends one item per response to `items`, in order. A response whose
// address gives no usable host is left out and counted in `*unusable`.
// Types new to the MIME type list are learned as the old readers learn them.
void AppendStoredItems(const StoredResponses& read, TCacheItemList& items,
                       std::uint64_t* unusable = nullptr);

}  // namespace webhoard
