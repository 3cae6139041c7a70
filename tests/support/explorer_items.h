// Cache items for the Cache Explorer tests.
#pragma once

#include <memory>
#include <string>

#include "cache/cache_item.h"

namespace webhoard::testing {

inline TCacheItem& AddItem(TCacheItemList& items, const std::string& domain, std::int32_t category,
                           double date, std::string local_file = {}) {
  auto item = std::make_unique<TCacheItem>();
  item->Domain = domain;
  item->URL = "http://" + domain + ":80/" + std::to_string(items.size());
  item->Category = category;
  item->Date = date;
  item->LocalFile = std::move(local_file);
  items.push_back(std::move(item));
  return *items.back();
}

}  // namespace webhoard::testing
