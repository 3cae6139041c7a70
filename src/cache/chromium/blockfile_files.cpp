#include "cache/chromium/blockfile_files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <system_error>

#include "common/file_util.h"
#include "common/little_endian.h"
#include "platform/regular_file.h"

namespace webhoard {
namespace {

constexpr std::uint32_t kBlockFileMagic = 0xC104CAC3u;
// Block files read whole share this much memory; further ones are read
// piecewise. data_0 and data_1 can never be larger than 17 MiB, data_2 and
// data_3 may reach 64 and 256 MiB.
constexpr std::uint64_t kWholeFileMemory = 128ull << 20;

// The size of an open file, or nullopt.
std::optional<std::uint64_t> SizeOf(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return std::nullopt;
  const long end = std::ftell(file);
  if (end < 0) return std::nullopt;
  return static_cast<std::uint64_t>(end);
}

bool ReadAt(std::FILE* file, std::uint64_t offset, std::uint64_t length, std::string& out) {
  if (offset > static_cast<std::uint64_t>(LONG_MAX)) return false;
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
  out.resize(static_cast<std::size_t>(length));
  return length == 0 || std::fread(out.data(), 1, out.size(), file) == out.size();
}

// Why a block file's header makes it unusable, or "".
std::string HeaderProblem(const std::string& header, std::uint32_t number) {
  const Bytes bytes(reinterpret_cast<const std::uint8_t*>(header.data()), header.size());
  if (ReadU32(bytes, 0) != kBlockFileMagic) return "it is no block file";
  const std::uint32_t major = *ReadU32(bytes, 4) >> 16;
  if (major != 2 && major != 3) return "its version is unknown";
  if (*ReadU16(bytes, 8) != number) return "its header names another file";
  const std::uint32_t block_size = *ReadU32(bytes, 12);
  if (block_size != 36 && block_size != 256 && block_size != 1024 && block_size != 4096) {
    return "its block size is unknown";
  }
  return "";
}

}  // namespace

BlockfileFiles::BlockfileFiles(std::string folder)
    : folder_(std::move(folder)), memory_left_(kWholeFileMemory) {}
BlockfileFiles::~BlockfileFiles() = default;

BlockfileFiles::BlockFile& BlockfileFiles::OpenBlockFile(std::uint32_t number) {
  const auto [it, added] = block_files_.try_emplace(number);
  BlockFile& block_file = it->second;
  if (!added) return block_file;
  block_file.path = JoinPath(folder_, BlockFileName(number));
  block_file.file.reset(OpenRegularFile(block_file.path));
  if (!block_file.file) {
    block_file.missing = errno == ENOENT;
    block_file.problem = block_file.missing ? "it is missing" : ErrnoText(errno);
    return block_file;
  }
  const std::optional<std::uint64_t> size = SizeOf(block_file.file.get());
  std::string header;
  if (!size || *size < kBlockFileHeaderSize || !ReadAt(block_file.file.get(), 0, 80, header)) {
    block_file.problem = "it is shorter than its header";
  } else {
    block_file.problem = HeaderProblem(header, number);
  }
  if (!block_file.problem.empty()) {
    block_file.file.reset();
    return block_file;
  }
  const Bytes bytes(reinterpret_cast<const std::uint8_t*>(header.data()), header.size());
  block_file.block_size = *ReadU32(bytes, 12);
  block_file.updating = *ReadU32(bytes, 56) != 0;
  // Bytes past the last block an address can name are never needed.
  block_file.size =
      std::min(*size, kBlockFileHeaderSize + std::uint64_t{0x10000} * block_file.block_size);
  if (block_file.size <= memory_left_) {
    if (!ReadAt(block_file.file.get(), 0, block_file.size, block_file.whole)) {
      block_file.problem = "it changed while it was read";
      block_file.whole.clear();
    } else {
      memory_left_ -= block_file.size;
    }
    block_file.file.reset();
  }
  return block_file;
}

BytePlace BlockfileFiles::FindInBlockFile(BlockAddress address, std::uint64_t length,
                                          BlockFile** found) {
  BlockFile& block_file = OpenBlockFile(address.file_number());
  if (!block_file.problem.empty()) {
    ++block_file.refused;
    return {block_file.missing ? PlaceStatus::kMissingFile : PlaceStatus::kDamaged, "", 0};
  }
  // The address's type must agree with the file it names, and the bytes
  // must lie inside both the run of blocks and the file.
  if (address.BlockSize() != block_file.block_size || length > address.RunLength() ||
      !FitsIn(block_file.size, address.Offset(), length)) {
    return {};
  }
  *found = &block_file;
  return {PlaceStatus::kFound, block_file.path, address.Offset()};
}

std::optional<std::int64_t> BlockfileFiles::SeparateFileSize(const std::string& name) {
  if (!separate_files_) {
    // One listing instead of a look at every file: a cache may hold
    // thousands. Links and other non-files are kept as -1, never followed.
    separate_files_.emplace();
    std::error_code ec;
    for (const auto& file : std::filesystem::directory_iterator(folder_, ec)) {
      const std::string file_name = file.path().filename().string();
      if (!file_name.starts_with("f_")) continue;
      std::error_code size_error;
      const bool regular = !file.is_symlink(size_error) && file.is_regular_file(size_error);
      const std::uintmax_t size = regular ? file.file_size(size_error) : 0;
      (*separate_files_)[file_name] = regular && !size_error ? static_cast<std::int64_t>(size) : -1;
    }
  }
  const auto it = separate_files_->find(name);
  if (it == separate_files_->end()) return std::nullopt;
  return it->second;
}

BytePlace BlockfileFiles::FindSeparateFile(BlockAddress address, std::uint64_t length) {
  const std::string name = address.FileName();
  const std::optional<std::int64_t> size = SeparateFileSize(name);
  if (!size) {
    ++missing_separate_;
    return {PlaceStatus::kMissingFile, "", 0};
  }
  if (*size < 0 || static_cast<std::uint64_t>(*size) < length) {
    ++damaged_separate_;
    return {};
  }
  return {PlaceStatus::kFound, JoinPath(folder_, name), 0};
}

BytePlace BlockfileFiles::Find(BlockAddress address, std::uint64_t length) {
  if (!address.IsUsable()) return {};
  if (address.separate_file()) return FindSeparateFile(address, length);
  BlockFile* unused = nullptr;
  return FindInBlockFile(address, length, &unused);
}

ReadBytes BlockfileFiles::Read(BlockAddress address, std::uint64_t length) {
  if (!address.IsUsable()) return {};
  ReadBytes read{PlaceStatus::kFound, {}};
  if (address.separate_file()) {
    const BytePlace place = FindSeparateFile(address, length);
    if (place.status != PlaceStatus::kFound) return {place.status, {}};
    const File file(OpenRegularFile(place.path));
    // A file that vanishes or shrinks under the reader (the browser is
    // running) is damage for this record only.
    if (!file || !ReadAt(file.get(), 0, length, read.bytes)) return {};
    return read;
  }
  BlockFile* block_file = nullptr;
  const BytePlace place = FindInBlockFile(address, length, &block_file);
  if (place.status != PlaceStatus::kFound) return {place.status, {}};
  if (!block_file->file) {
    read.bytes = block_file->whole.substr(static_cast<std::size_t>(place.offset),
                                          static_cast<std::size_t>(length));
  } else if (!ReadAt(block_file->file.get(), place.offset, length, read.bytes)) {
    return {};
  }
  return read;
}

void BlockfileFiles::AddNotes(std::vector<std::string>& notes) const {
  for (const auto& [number, block_file] : block_files_) {
    const std::string name = BlockFileName(number);
    if (!block_file.problem.empty()) {
      notes.push_back("The cache's block file " + name + " cannot be read (" + block_file.problem +
                      "): " + std::to_string(block_file.refused) +
                      " records or streams stored there are not available.");
    } else if (block_file.updating) {
      notes.push_back("The cache's block file " + name +
                      " was being changed when it was read; some entries may be damaged.");
    }
  }
  if (missing_separate_ > 0) {
    notes.push_back(std::to_string(missing_separate_) +
                    " streams of the cache are stored in files that are missing.");
  }
  if (damaged_separate_ > 0) {
    notes.push_back(
        std::to_string(damaged_separate_) +
        " streams of the cache are stored in files that cannot be read or are too short.");
  }
}

}  // namespace webhoard
