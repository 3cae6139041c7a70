// The catalogue record of one archived item, read strictly.
//
// archive.dat is a plain sequence of item records, in list order, with no
// header, count or terminator. One record (all integers little-endian):
//
//   offset 0        int32   MimeIndex
//   offset 4        int32   Category
//   offset 8        double  Date (days since 1899-12-30 local time)
//   offset 16       uint32  L1 = length of URL + 1
//   offset 20       uint32  L2 = length of Title + 1
//   offset 24       uint32  L3 = length of ArchiveName + 1
//   offset 28       L1 bytes: URL, then its NUL
//   offset 28+L1    L2 bytes: Title, then its NUL (an empty title is one NUL)
//   offset 28+L1+L2 L3 bytes: ArchiveName, then its NUL
//
// The reader here exists to tell a clean catalogue from a damaged one: a
// record is well formed only when its whole head is there, every length is
// at least 1 and fits in what is left of the file, and every text holds no
// NUL but its last byte. Reading stops at the first record that is not well
// formed; nothing is ever allocated from a length that was not checked
// against the bytes actually present.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cache/cache_item.h"

namespace webhoard {

inline constexpr std::size_t kArchiveRecordHeadSize = 28;

// Appends the record of `item` (MimeIndex, Category, Date, URL, Title,
// ArchiveName; nothing else is stored).
void AppendArchiveRecord(std::string& out, const TCacheItem& item);

struct ArchiveRecordParse {
  TCacheItemList items;      // the well-formed records, in file order (no Domain yet)
  std::size_t consumed = 0;  // bytes they occupy from the start
  std::string damage;        // empty when every byte belonged to a record
};

// Reads records from the start of `bytes` until the end or the first
// damaged record; `damage` then says which record, where, and what is wrong.
ArchiveRecordParse ParseArchiveRecords(std::string_view bytes);

}  // namespace webhoard
