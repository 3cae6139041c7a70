#include "index/page_text.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>

#include "common/ascii.h"
#include "platform/regular_file.h"

namespace webhoard {
namespace {

constexpr std::size_t kKeptTagLength = 15;

// Characters of a page, read on demand; Seek goes back to an earlier
// position (an unclosed comment is read again as an ordinary tag).
class PageSource {
 public:
  virtual ~PageSource() = default;
  // The next character, or -1 at the end.
  virtual int Get() = 0;
  virtual std::uint64_t Tell() const = 0;
  virtual void Seek(std::uint64_t position) = 0;
};

class MemoryPage final : public PageSource {
 public:
  explicit MemoryPage(std::string_view page) : page_(page) {}
  int Get() override {
    if (position_ >= page_.size()) return -1;
    return static_cast<unsigned char>(page_[position_++]);
  }
  std::uint64_t Tell() const override { return position_; }
  void Seek(std::uint64_t position) override { position_ = position; }

 private:
  std::string_view page_;
  std::uint64_t position_ = 0;
};

class FilePage final : public PageSource {
 public:
  // Only a regular file, never one behind a link: see platform/regular_file.h.
  explicit FilePage(const std::string& path) : file_(OpenRegularFile(path)) {}
  bool open() const { return file_ != nullptr; }
  int Get() override {
    if (next_ == filled_ && !Fill()) return -1;
    return block_[next_++];
  }
  std::uint64_t Tell() const override { return block_start_ + next_; }
  void Seek(std::uint64_t position) override {
    if (position >= block_start_ && position <= block_start_ + filled_) {
      next_ = static_cast<std::size_t>(position - block_start_);
      return;
    }
    // A position no seek can reach reads as the end of the page.
    const bool reachable = position <= static_cast<std::uint64_t>(std::numeric_limits<long>::max());
    if (!reachable || std::fseek(file_.get(), static_cast<long>(position), SEEK_SET) != 0) {
      at_end_ = true;
    } else {
      at_end_ = false;
    }
    block_start_ = position;
    next_ = filled_ = 0;
  }

 private:
  bool Fill() {
    block_start_ += filled_;
    next_ = filled_ = 0;
    if (at_end_) return false;
    filled_ = std::fread(block_.data(), 1, block_.size(), file_.get());
    return filled_ > 0;
  }

  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  bool at_end_ = false;
  std::array<std::uint8_t, 4096> block_{};
  std::uint64_t block_start_ = 0;
  std::size_t next_ = 0;
  std::size_t filled_ = 0;
};

bool IsBlank(int c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

class Extractor {
 public:
  explicit Extractor(PageSource& page) : page_(page) {}

  std::string Run() {
    int c = page_.Get();
    while (c >= 0 && !Full()) {
      if (c == '<') {
        if (!Tag()) break;
        c = page_.Get();
        if (title_) {
          // The title's text is not part of the excerpt: skip to the next tag.
          while (c >= 0 && c != '<') c = page_.Get();
        }
        continue;
      }
      if (IsBlank(c)) {
        Space();
      } else {
        result_ += static_cast<char>(c);
        after_space_ = false;
      }
      c = page_.Get();
    }
    return std::move(result_);
  }

 private:
  bool Full() const { return result_.size() >= kPageTextLength; }

  void Space() {
    if (!after_space_) {
      result_ += ' ';
      after_space_ = true;
    }
  }

  // Reads one tag after its "<". Answers false when the excerpt is already
  // full (the tag is not read).
  bool Tag() {
    title_ = false;
    if (Full()) return false;
    Space();
    std::string kept;
    for (int c = page_.Get(); c >= 0 && c != '>'; c = page_.Get()) {
      if (kept.size() < kKeptTagLength) kept += static_cast<char>(c);
      if (c == '-' && kept == "!--" && comments_) {
        if (Comment()) break;
        // Unclosed: read on from just after "<!--" as an ordinary tag.
      }
    }
    title_ = kept.size() >= 5 && EqualsNoCase(std::string_view(kept).substr(0, 5), "title");
    return true;
  }

  // Skips a comment whose "<!--" has been read. Answers true when it ended
  // with "-->"; otherwise comments are off for the rest of the page and the
  // position is back just after "<!--".
  bool Comment() {
    const std::uint64_t restart = page_.Tell();
    char last[3] = {'!', '-', '-'};
    for (int c = page_.Get(); c >= 0; c = page_.Get()) {
      last[0] = last[1];
      last[1] = last[2];
      last[2] = static_cast<char>(c);
      if (last[0] == '-' && last[1] == '-' && last[2] == '>') return true;
    }
    comments_ = false;
    page_.Seek(restart);
    return false;
  }

  PageSource& page_;
  std::string result_;
  bool after_space_ = true;
  bool comments_ = true;
  bool title_ = false;
};

}  // namespace

std::optional<std::string> ExtractPageText(const std::string& path) {
  FilePage page(path);
  if (!page.open()) return std::nullopt;
  return Extractor(page).Run();
}

std::string ExtractPageTextOf(std::string_view page) {
  MemoryPage source(page);
  return Extractor(source).Run();
}

}  // namespace webhoard
