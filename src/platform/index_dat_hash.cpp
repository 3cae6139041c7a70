#include "platform/index_dat_hash.h"

#include <cstring>

namespace webhoard::index_dat {

bool IsUrlKey(std::uint32_t key) {
  // 0x0BADF00D and 0xDEADBEEF are odd, so the bit test also drops the fill
  // values of items that were never initialised.
  return (key & 1u) == 0;
}

HashWalk WalkHashTable(Bytes file, const Header& header) {
  HashWalk walk;
  std::uint32_t page = header.first_hash_page;
  // Each sound page carries the next page number, so a chain that loops back
  // fails that check; the page bound keeps the walk finite whatever happens.
  const std::uint32_t max_pages = static_cast<std::uint32_t>(file.size() / kHashPageSize);
  while (page != 0) {
    if (walk.pages >= max_pages) {
      walk.damage = "too many hash pages";
      break;
    }
    if (!IsBlockStart(file, page) || !FitsIn(file.size(), page, kHashPageSize)) {
      walk.damage = "a hash page offset points outside the file: " + std::to_string(page);
      break;
    }
    const std::uint8_t* p = file.data() + page;
    if (std::memcmp(p, "HASH", 4) != 0) {
      walk.damage = "no hash page at offset " + std::to_string(page);
      break;
    }
    if (LoadLE<std::uint32_t>(p + 0x0C) != walk.pages) {
      walk.damage = "hash page out of sequence at offset " + std::to_string(page);
      break;
    }
    for (std::uint32_t i = 0; i < kHashItemsPerPage; ++i) {
      const std::uint32_t item = page + kHashItemsOffset + i * 8;
      const auto key = LoadLE<std::uint32_t>(file.data() + item);
      if (!IsUrlKey(key)) continue;
      walk.url_items.push_back({item, key, LoadLE<std::uint32_t>(file.data() + item + 4)});
    }
    ++walk.pages;
    walk.page_offsets.push_back(page);
    page = LoadLE<std::uint32_t>(p + 0x08);
  }
  return walk;
}

}  // namespace webhoard::index_dat
