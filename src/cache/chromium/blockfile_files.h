// The files of one blockfile cache folder as its addresses reach them: the
// block files (data_N), each opened once when first named, its header
// checked and, within a memory budget, read whole (a cache keeps its
// records in them, and one read beats thousands of small ones); and the
// separate files (f_xxxxxx), listed once for their sizes and opened only
// when a key or response info stored in one is read. Every place an address
// names is checked against the real file before a byte is read, and files
// are only ever opened for reading, as regular files.
//
// A file that is missing (the browser's snapshot lacks data_3, an f_ file
// was evicted) and a file or place that is damaged are told apart: the
// first costs an entry a stream, the second marks the entry damaged.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "cache/chromium/blockfile_address.h"

namespace webhoard {

enum class PlaceStatus {
  kFound,
  kMissingFile,  // the file the address names is not there
  kDamaged,      // a bad address, a damaged block file, a place past the file's end
};

// Where bytes named by an address lie.
struct BytePlace {
  PlaceStatus status = PlaceStatus::kDamaged;
  std::string path;  // the file, when found
  std::uint64_t offset = 0;
};

struct ReadBytes {
  PlaceStatus status = PlaceStatus::kDamaged;
  std::string bytes;
};

class BlockfileFiles {
 public:
  explicit BlockfileFiles(std::string folder);
  ~BlockfileFiles();
  BlockfileFiles(const BlockfileFiles&) = delete;
  BlockfileFiles& operator=(const BlockfileFiles&) = delete;

  // Where `length` bytes at `address` lie: inside the address's run of
  // blocks, or from the start of an f_ file at least that long.
  BytePlace Find(BlockAddress address, std::uint64_t length);
  // The `length` bytes themselves; the caller limits the length.
  ReadBytes Read(BlockAddress address, std::uint64_t length);

  // One note for each block file that is missing or damaged, and one for
  // the separate files that are.
  void AddNotes(std::vector<std::string>& notes) const;

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  using File = std::unique_ptr<std::FILE, FileCloser>;

  struct BlockFile {
    std::string path;
    File file;               // open while the file is read piecewise
    std::string whole;       // the file, when it was read whole
    std::uint64_t size = 0;  // no more than its blocks can address
    std::uint32_t block_size = 0;
    std::string problem;  // why it is unusable; "" when usable
    bool missing = false;
    bool updating = false;      // the header was being changed
    std::uint64_t refused = 0;  // places asked for while missing or damaged
  };

  BlockFile& OpenBlockFile(std::uint32_t number);
  BytePlace FindInBlockFile(BlockAddress address, std::uint64_t length, BlockFile** file);
  BytePlace FindSeparateFile(BlockAddress address, std::uint64_t length);
  // The size of a separate file: nullopt when it is missing, -1 when it is
  // no regular file.
  std::optional<std::int64_t> SeparateFileSize(const std::string& name);

  std::string folder_;
  std::map<std::uint32_t, BlockFile> block_files_;
  std::uint64_t memory_left_;  // for block files read whole
  std::optional<std::unordered_map<std::string, std::int64_t>> separate_files_;
  std::uint64_t missing_separate_ = 0;
  std::uint64_t damaged_separate_ = 0;
};

}  // namespace webhoard
