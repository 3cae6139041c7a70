// A small blockfile cache folder built in memory, to the verified layout:
// index (header and hash table), data_0 (rankings nodes), data_1..data_3
// (entry records and streams) and f_xxxxxx files, with every hash and self
// hash right. Tests and the fuzz target start from it and then damage it
// on purpose (SetEntryField, the files map). Header-only, so the fuzz
// target can use it without the test support library.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cache/chromium/super_fast_hash.h"
#include "common/little_endian.h"

namespace webhoard::testing {

struct BlockfileEntryToWrite {
  std::string key;
  std::string response_info;  // stream 0; "" for none
  std::string body;           // stream 1; "" for none
  bool info_in_separate_file = false;
  bool body_in_separate_file = false;
  bool long_key = false;  // the key in a place of its own even when it would fit inline
  std::uint32_t dirty = 0;
  std::uint32_t flags = 0;  // 1 sparse parent, 2 sparse child
  std::uint32_t state = 0;  // 0 normal, 2 doomed
};

class BlockfileImage {
 public:
  static constexpr std::size_t kHeader = 8192;

  // `table_length` buckets (a power of two; 1 puts every entry in one chain).
  explicit BlockfileImage(std::uint32_t table_length = 0x400) : table_length_(table_length) {
    files["index"] = std::string(368 + 4 * std::size_t{table_length}, '\0');
    Put(files["index"], 0, 0xC103CAC3u);
    Put(files["index"], 4, 0x30000u);
    Put(files["index"], 28, table_length);
    const std::uint32_t sizes[] = {36, 256, 1024, 4096};
    for (std::uint32_t n = 0; n < 4; ++n) {
      std::string& data = files["data_" + std::to_string(n)];
      data.assign(kHeader, '\0');
      Put(data, 0, 0xC104CAC3u);
      Put(data, 4, 0x20000u);
      data[8] = static_cast<char>(n);
      Put(data, 12, sizes[n]);
    }
  }

  // Adds an entry at the head of its bucket's chain; answers its address.
  std::uint32_t Add(const BlockfileEntryToWrite& entry) {
    std::string record(256, '\0');
    const std::uint32_t long_key =
        entry.long_key || entry.key.size() >= 4 * 256 - 96 ? Store(entry.key, false) : 0;
    if (long_key == 0) record.resize((96 + entry.key.size() + 1 + 255) / 256 * 256, '\0');
    const std::uint32_t address = Allocate(2, record.size());
    const std::uint32_t hash = SuperFastHash(entry.key);
    const std::uint32_t bucket = hash & (table_length_ - 1);
    std::string& index = files["index"];
    Put(record, 0, hash);
    Put(record, 4, Get(index, 368 + 4 * bucket));
    Put(record, 8, AddRankings(address, entry.dirty));
    Put(record, 20, entry.state);
    Put(record, 32, static_cast<std::uint32_t>(entry.key.size()));
    Put(record, 36, long_key);
    if (long_key == 0) record.replace(96, entry.key.size(), entry.key);
    const std::string* streams[] = {&entry.response_info, &entry.body};
    const bool separate[] = {entry.info_in_separate_file, entry.body_in_separate_file};
    for (std::size_t i = 0; i < 2; ++i) {
      Put(record, 40 + 4 * i, static_cast<std::uint32_t>(streams[i]->size()));
      if (!streams[i]->empty()) Put(record, 56 + 4 * i, Store(*streams[i], separate[i]));
    }
    Put(record, 72, entry.flags);
    Put(record, 92, SuperFastHash(std::string_view(record).substr(0, 92)));
    Place(address).replace(Offset(address), record.size(), record);
    Put(index, 368 + 4 * bucket, address);
    Put(index, 8, Get(index, 8) + 1);
    return address;
  }

  // Sets a 32-bit field of the entry record at `address`, renewing its self
  // hash unless told not to.
  void SetEntryField(std::uint32_t address, std::size_t offset, std::uint32_t value,
                     bool rehash = true) {
    std::string& data = Place(address);
    const std::size_t at = Offset(address);
    Put(data, at + offset, value);
    if (rehash) Put(data, at + 92, SuperFastHash(std::string_view(data).substr(at, 92)));
  }
  std::uint32_t EntryField(std::uint32_t address, std::size_t offset) {
    return Get(Place(address), Offset(address) + offset);
  }

  // Where a block address's bytes start in its data file.
  static std::size_t Offset(std::uint32_t address) {
    const std::uint32_t sizes[] = {0, 36, 256, 1024, 4096};
    return kHeader + (address & 0xffffu) * std::size_t{sizes[(address >> 28) & 7u]};
  }

  void WriteTo(const std::string& folder) const {
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : files) {
      std::ofstream(folder + "/" + name, std::ios::binary)
          .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
  }

  std::map<std::string, std::string> files;  // name → contents

 private:
  static void Put(std::string& bytes, std::size_t at, std::uint32_t value) {
    StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(bytes.data() + at), value);
  }
  static std::uint32_t Get(const std::string& bytes, std::size_t at) {
    return LoadLE<std::uint32_t>(reinterpret_cast<const std::uint8_t*>(bytes.data() + at));
  }
  std::string& Place(std::uint32_t address) {
    return files["data_" + std::to_string((address >> 16) & 0xffu)];
  }

  // Appends enough blocks of data_(type - 1) for `length` bytes.
  std::uint32_t Allocate(std::uint32_t type, std::size_t length) {
    std::string& data = files["data_" + std::to_string(type - 1)];
    const std::size_t block_size = Get(data, 12);
    const std::size_t blocks = (std::max<std::size_t>(length, 1) + block_size - 1) / block_size;
    const auto first = static_cast<std::uint32_t>((data.size() - kHeader) / block_size);
    // One file holds what 16-bit block numbers reach; the browser would go
    // on in a further data_N, which this writer does not.
    if (first + blocks > 0x10000) throw std::length_error("block file full");
    data.resize(data.size() + blocks * block_size, '\0');
    Put(data, 16, Get(data, 16) + static_cast<std::uint32_t>(blocks));
    Put(data, 20, Get(data, 16));
    return 0x80000000u | type << 28 | static_cast<std::uint32_t>(blocks - 1) << 24 |
           (type - 1) << 16 | first;
  }

  // Stores a stream or a long key: in up to 4 blocks of the smallest block
  // size that holds it, else (or when asked) in an f_ file of its own.
  std::uint32_t Store(const std::string& bytes, bool separate) {
    std::uint32_t type = bytes.size() <= 1024 ? 2 : bytes.size() <= 4096 ? 3 : 4;
    if (separate || bytes.size() > 16384) {
      char name[16];
      std::snprintf(name, sizeof name, "f_%06x", ++separate_files_);
      files[name] = bytes;
      return 0x80000000u | separate_files_;
    }
    const std::uint32_t address = Allocate(type, bytes.size());
    Place(address).replace(Offset(address), bytes.size(), bytes);
    return address;
  }

  std::uint32_t AddRankings(std::uint32_t entry, std::uint32_t dirty) {
    const std::uint32_t address = Allocate(1, 36);
    std::string node(36, '\0');
    Put(node, 24, entry);
    Put(node, 28, dirty);
    Put(node, 32, SuperFastHash(std::string_view(node).substr(0, 32)));
    Place(address).replace(Offset(address), node.size(), node);
    return address;
  }

  std::uint32_t table_length_;
  unsigned separate_files_ = 0;
};

}  // namespace webhoard::testing
