// The --json lines of cache items and catalogue records: every field the
// tab-separated output has, by name, with the MIME type's name, the
// category's word, the date in ISO 8601 and the size in bytes.
#pragma once

#include <string>

#include "cache/cache_item.h"

namespace webhoard::cli {

// A cache item of `list`: its cached file and that file's size (the stored
// body's, for today's caches).
std::string CacheItemJson(const TCacheItem& item);

// A catalogue record of `catalog` and `search`, with the path of its
// archived copy.
std::string CatalogueRecordJson(const TCacheItem& record, const std::string& archive_file);

}  // namespace webhoard::cli
