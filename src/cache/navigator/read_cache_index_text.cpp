// The text index of Navigator 1.x ("FAT").
//
// Layout: a header line (only its first ten characters matter, for telling
// the formats apart), then one entry per line. A line ends at CR or LF; runs
// of CR and LF between lines are skipped; only the first 255 characters of a
// line (counting the CR or LF that ends it) are kept. A field is a run of
// characters 32..126 (space included); every other character separates
// fields, and a run of separators counts as one. Fields:
//   1, 2  not used
//   3     time of the entry, decimal seconds since 1970 (first 12 characters)
//   4     path of the cached file; its name after the last "\", ":" or "/"
//   5     URL
//   6     MIME type (first 50 characters, lower-cased)
//   7     not used
// A line is an entry only when an eighth field follows; shorter lines are
// skipped.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "cache/navigator/read_cache_index_parts.h"
#include "common/ascii.h"
#include "common/file_util.h"

namespace webhoard {
namespace {

constexpr std::size_t kTimeChars = 12;
constexpr std::size_t kMimeChars = 50;
constexpr int kLinesPerMessagePump = 5;

bool IsLineBreak(int c) {
  return c == '\r' || c == '\n';
}
bool IsFieldChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 32 && u <= 126;
}

// Reads lines the way the index was written to be read. Throws on a read
// failure; the end of the file just ends the lines.
class LineReader {
 public:
  LineReader(std::FILE* file, const std::string& path) : file_(file), path_(path) {}

  bool AtEnd() {
    const int c = std::getc(file_);
    if (c == EOF) {
      CheckError();
      return true;
    }
    std::ungetc(c, file_);
    return false;
  }

  // The next line with the CR or LF that ended it (when that fits in 255
  // characters); the line break run after it is consumed.
  std::string Next() {
    std::string line;
    int c;
    while ((c = std::getc(file_)) != EOF) {
      if (line.size() < kShortTextLength) line.push_back(static_cast<char>(c));
      if (IsLineBreak(c)) break;
    }
    if (c == EOF) {
      CheckError();
      return line;
    }
    while ((c = std::getc(file_)) != EOF && IsLineBreak(c)) {
    }
    if (c == EOF) {
      CheckError();
    } else {
      std::ungetc(c, file_);
    }
    return line;
  }

 private:
  void CheckError() {
    if (std::ferror(file_)) {
      throw CacheIndexError("cannot read the cache index " + path_ + ": " + ErrnoText(errno));
    }
  }

  std::FILE* file_;
  const std::string& path_;
};

// Takes the next field of `line` from `pos` on: skips the separators before
// it, then takes its run of field characters.
std::string_view TakeField(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && !IsFieldChar(line[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < line.size() && IsFieldChar(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

// A plain decimal integer (optional sign, digits only) or 0.
std::int32_t DecimalOrZero(std::string_view text) {
  std::int32_t value = 0;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return 0;
  return value;
}

std::string_view FileNamePart(std::string_view path) {
  const std::size_t last = path.find_last_of("\\:/");
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

}  // namespace

void ReadTextCacheIndex(std::FILE* file, const std::string& path, CacheEntryBuilder& builder,
                        Prompter& prompter, CacheIndexStats& stats, const ReadStopCheck& stop) {
  LineReader lines(file, path);
  if (lines.AtEnd()) return;
  lines.Next();  // the header line
  std::uint64_t line_number = 0;
  StopPoll stop_poll(stop);
  while (!lines.AtEnd()) {
    if (line_number++ % kLinesPerMessagePump == 0) prompter.ProcessPendingMessages();
    if (stop_poll.Due()) {
      stats.stopped = true;
      return;
    }
    const std::string line = lines.Next();
    std::size_t pos = 0;
    TakeField(line, pos);
    TakeField(line, pos);
    const std::string_view time = TakeField(line, pos).substr(0, kTimeChars);
    const std::string_view file_path = TakeField(line, pos);
    const std::string_view url = TakeField(line, pos);
    const std::string mime = AsciiLower(TakeField(line, pos).substr(0, kMimeChars));
    TakeField(line, pos);
    while (pos < line.size() && !IsFieldChar(line[pos])) ++pos;
    if (pos >= line.size()) {
      ++stats.lines_skipped;
      continue;
    }
    builder.AddCacheEntry(url, FileNamePart(file_path), mime, DecimalOrZero(time));
  }
}

}  // namespace webhoard
