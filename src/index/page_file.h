// One index page being written: lines gathered in memory, then put in place
// whole. The page is written under a temporary name beside its final name
// and renamed over it, so a failure (disk full, access denied) never leaves
// half a page where a browser would open it: the old page stays.
//
// Pages are not flushed to disk one by one: they are regenerated from the
// catalogue by every archive run, and syncing thousands of small files would
// make indexing a large archive take minutes instead of seconds.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace webhoard {

// A page could not be written; what() names the file and the reason.
class IndexPageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PageFile {
 public:
  explicit PageFile(std::string path) : path_(std::move(path)) {}

  // Appends text without a line end.
  PageFile& Add(std::string_view text) {
    text_.append(text);
    return *this;
  }
  // Appends text and CR LF.
  PageFile& Line(std::string_view text) {
    text_.append(text).append("\r\n");
    return *this;
  }
  const std::string& text() const { return text_; }
  // The page as written so far is kept; the rest of a row can be dropped.
  std::size_t mark() const { return text_.size(); }
  void Rewind(std::size_t mark) { text_.resize(mark); }

  // Puts the page in place (an empty page gives an empty file). Throws
  // IndexPageError when it cannot.
  void Commit() const;

 private:
  std::string path_;
  std::string text_;
};

// Writes `contents` to `path` through a temporary file and a rename. Throws
// IndexPageError on failure, leaving `path` as it was.
void WritePageFile(const std::string& path, std::string_view contents);

}  // namespace webhoard
