// Fuzz target for the URL cache database index.dat: the header, the hash
// table walk, URL records and the in-memory delete, over the inputs that
// sound_index_dat.h makes. After a delete the file must still pass the
// checks WinINet makes when it opens it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/little_endian.h"
#include "platform/index_dat_delete.h"
#include "platform/index_dat_format.h"
#include "platform/index_dat_hash.h"
#include "sound_index_dat.h"

using namespace webhoard;
using namespace webhoard::index_dat;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string file = fuzz_index_dat::IndexFromInput(data, size);
  const Bytes bytes(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
  const auto header = ParseHeader(bytes, nullptr);
  if (!header) return 0;
  std::string first_url;
  for (const HashItem& item : WalkHashTable(bytes, *header).url_items) {
    if (auto record = ParseUrlRecord(bytes, item.record_offset, nullptr)) {
      if (first_url.empty()) first_url = record->url;
    }
  }
  if (first_url.empty() || !CheckOpenInvariants(bytes).empty()) return 0;
  if (const auto removal = FindEntry(bytes, *header, first_url)) {
    RemoveEntry(std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(file.data()), file.size()),
                *removal);
    if (!CheckOpenInvariants(bytes).empty()) std::abort();
  }
  return 0;
}
