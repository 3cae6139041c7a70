#include "archive/stored_body_copy.h"

#include <cerrno>
#include <limits>
#include <memory>

#include "common/file_util.h"
#include "platform/regular_file.h"

namespace webhoard {
namespace {

BodyCopyResult Failed(const StoredBody& body, const std::string& why) {
  return {BodyCopyOutcome::kFailed, "cannot read " + body.file + ": " + why};
}

BodyCopyResult WriteFailed() {
  return {BodyCopyOutcome::kFailed, "write failed", true};
}

// The decoder may stop before the end of the slice (bytes after the end of
// a gzip stream); the checksum covers every stored byte.
bool ReadToEnd(FileSliceSource& source) {
  char buffer[16 * 1024];
  for (;;) {
    const auto got = source.Read(buffer, sizeof buffer);
    if (!got) return false;
    if (*got == 0) return true;
  }
}

}  // namespace

BodyCopyResult WriteStoredBody(const StoredBody& body, std::FILE* file, BodySink& sink,
                               const std::function<bool()>& restart) {
  const std::string& encoding = body.content_encoding;
  FileSliceSource source(file, body.offset, body.length);
  BodyCopyResult result{BodyCopyOutcome::kDecoded, ""};
  DecodeStatus status = DecodeStatus::kUnsupported;
  if (CanDecode(encoding)) {
    status = DecodeBody(encoding, source, sink, DecodedSizeLimit(body.length)).status;
  }
  if (status != DecodeStatus::kDecoded) {
    if (status == DecodeStatus::kReadFailed) return Failed(body, "the stored body is cut short");
    if (status == DecodeStatus::kWriteFailed) return WriteFailed();
    // Kept as stored: an archive with the compressed bytes still holds the
    // page, which a later version may decode; no copy holds nothing.
    result = {BodyCopyOutcome::kStored, DecodeStatusWords(status, encoding)};
    if (!source.Rewind() || !restart()) return WriteFailed();
    const auto copied =
        DecodeBody("", source, sink, std::numeric_limits<std::uint64_t>::max()).status;
    if (copied == DecodeStatus::kReadFailed) return Failed(body, "the stored body is cut short");
    if (copied != DecodeStatus::kDecoded) return WriteFailed();
  }
  if (body.crc32) {
    if (!ReadToEnd(source)) return Failed(body, "the stored body is cut short");
    if (source.crc32() != *body.crc32) return Failed(body, "the stored body fails its checksum");
  }
  return result;
}

BodyCopyResult ReadStoredBody(const StoredBody& body, std::string& out) {
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  const std::unique_ptr<std::FILE, Closer> file(OpenRegularFile(body.file));
  if (!file) return Failed(body, ErrnoText(errno));
  out.clear();
  StringSink sink(out);
  return WriteStoredBody(body, file.get(), sink, [&out] {
    out.clear();
    return true;
  });
}

}  // namespace webhoard
