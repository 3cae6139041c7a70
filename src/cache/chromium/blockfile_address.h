// The 32-bit addresses a blockfile cache links its records with: a run of
// 1 to 4 blocks in one of the block files (data_N), or a whole separate
// file (f_xxxxxx). An address comes from the files, so it says nothing
// until it is checked: IsUsable() answers whether it can name a place at
// all, and the block files check that the place lies inside them.
#pragma once

#include <cstdint>
#include <string>

namespace webhoard {

// The first bytes of every block file, before its first block.
inline constexpr std::uint64_t kBlockFileHeaderSize = 8192;

// The kinds of place an address names (bits 28-30).
enum class BlockType : int {
  kSeparateFile = 0,  // f_xxxxxx, the stream from offset 0
  kRankings = 1,      // 36-byte blocks (data_0)
  kBlock256 = 2,      // data_1: entry records, small streams
  kBlock1K = 3,       // data_2
  kBlock4K = 4,       // data_3
};

class BlockAddress {
 public:
  explicit BlockAddress(std::uint32_t value) : value_(value) {}

  std::uint32_t value() const { return value_; }
  bool initialized() const { return (value_ & 0x80000000u) != 0; }
  BlockType type() const { return static_cast<BlockType>((value_ >> 28) & 7u); }
  bool separate_file() const { return type() == BlockType::kSeparateFile; }
  // The f_ file's number, or the N of data_N.
  std::uint32_t file_number() const {
    return separate_file() ? value_ & 0x0fffffffu : (value_ >> 16) & 0xffu;
  }
  std::uint32_t first_block() const { return value_ & 0xffffu; }
  std::uint32_t block_count() const { return ((value_ >> 24) & 3u) + 1; }

  // Initialized, of a type the HTTP cache writes, reserved bits clear.
  bool IsUsable() const;
  // The bytes of one block of this address's type (36, 256, 1024, 4096); 0
  // for a separate file or an unknown type.
  std::uint32_t BlockSize() const;
  // "data_1" or "f_00001f".
  std::string FileName() const;
  // Where the run starts in its block file, and how long it is.
  std::uint64_t Offset() const {
    return kBlockFileHeaderSize + std::uint64_t{first_block()} * BlockSize();
  }
  std::uint64_t RunLength() const { return std::uint64_t{block_count()} * BlockSize(); }

 private:
  std::uint32_t value_;
};

// The block size of a type, 0 for a separate file or an unknown type.
std::uint32_t BlockSizeOf(BlockType type);

// "data_1" for block file 1.
std::string BlockFileName(std::uint32_t number);

}  // namespace webhoard
