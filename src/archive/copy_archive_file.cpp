// Copying a cached file into the archive.
//
// The copy goes to a fresh file beside the target and replaces the target by
// one rename only once every byte is written. A copy that fails midway (a
// source that cannot be read to its end, a full disk) therefore never leaves
// a half-written file under the target's name, and copying a file onto
// itself leaves it intact instead of emptying it first.
#include "archive/copy_archive_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/file_system.h"
#include "platform/regular_file.h"

namespace webhoard {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens a new file with a name of its own in `folder`; "x" makes the open
// fail rather than share a file that another copy is writing.
File CreateTemporaryBeside(const fs::path& folder, fs::path& temp_path) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = ".webhoard-copy-" + std::to_string(++counter) + ".tmp";
    temp_path = folder.empty() ? fs::path(name) : folder / name;
    errno = 0;
    if (std::FILE* file = std::fopen(temp_path.string().c_str(), "wbx")) return File(file);
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

bool CopyContents(std::FILE* from, std::FILE* to) {
  // The kernel moves the bytes where it can; the loop below is the fallback
  // for file systems (and systems) where it cannot.
  switch (CopyInKernel(from, to)) {
    case KernelCopy::kDone:
      return true;
    case KernelCopy::kFailed:
      return false;
    case KernelCopy::kUnsupported:
      break;
  }
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), from);
    if (got > 0 && std::fwrite(buffer.data(), 1, got, to) != got) return false;
    if (got < buffer.size()) return std::feof(from) != 0 && std::ferror(from) == 0;
  }
}

// The temporary copy as a sink that can start again in a fresh file.
class TemporarySink : public BodySink {
 public:
  explicit TemporarySink(fs::path folder) : folder_(std::move(folder)) {}
  ~TemporarySink() override { Discard(); }

  bool Open() {
    errno = 0;
    file_ = CreateTemporaryBeside(folder_, path_);
    reason_ = errno;
    return file_ != nullptr;
  }
  bool Write(std::string_view bytes) override {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size()) return true;
    reason_ = errno;
    return false;
  }
  bool Restart() {
    Discard();
    return Open();
  }
  // Closes the complete copy; false (the reason kept) when it could not be
  // written to the end.
  bool Close() {
    errno = 0;
    if (std::fclose(file_.release()) == 0) return true;
    reason_ = errno;
    return false;
  }
  void Discard() {
    file_.reset();
    std::error_code ec;
    if (!path_.empty()) fs::remove(path_, ec);
    path_.clear();
  }
  // The copy now has the target's name: nothing left to remove.
  void Renamed() { path_.clear(); }
  const fs::path& path() const { return path_; }
  std::string reason() const {
    return reason_ != 0 ? std::generic_category().message(reason_) : "the copy is incomplete";
  }

 private:
  fs::path folder_;
  fs::path path_;
  File file_;
  int reason_ = 0;
};

}  // namespace

BodyCopyResult CopyArchiveBody(const StoredBody& body, const std::string& target) {
  auto fail = [](std::string what, const std::string& path, const std::string& reason) {
    return BodyCopyResult{BodyCopyOutcome::kFailed, std::move(what) + " " + path + ": " + reason};
  };
  std::error_code ec;
  if (fs::is_directory(target, ec)) return fail("cannot replace", target, "it is a folder");
  File from(OpenRegularFile(body.file));
  if (!from) return fail("cannot read", body.file, std::generic_category().message(errno));
  const fs::path target_path(target);
  TemporarySink sink(target_path.parent_path());
  if (!sink.Open()) return fail("cannot create", target, sink.reason());
  BodyCopyResult result =
      WriteStoredBody(body, from.get(), sink, [&sink] { return sink.Restart(); });
  if (result.outcome == BodyCopyOutcome::kFailed) {
    if (!result.write_failed) return result;  // names the cache file and the reason
    return fail("cannot copy", body.file + " to " + target, sink.reason());
  }
  if (!sink.Close()) return fail("cannot copy", body.file + " to " + target, sink.reason());
  fs::rename(sink.path(), target_path, ec);
  if (ec) return fail("cannot replace", target, ec.message());
  sink.Renamed();
  return result;
}

bool CopyArchiveFile(const std::string& source, const std::string& target, std::string* error) {
  auto fail = [error](std::string what, const std::string& path, const std::string& reason) {
    if (error != nullptr) *error = std::move(what) + " " + path + ": " + reason;
    return false;
  };
  std::error_code ec;
  if (fs::is_directory(target, ec)) return fail("cannot replace", target, "it is a folder");
  // Only a regular file is copied, never one behind a link (a cached file
  // that leads to a user's keys) and never a folder or a pipe.
  File from(OpenRegularFile(source));
  if (!from) return fail("cannot read", source, std::generic_category().message(errno));

  const fs::path target_path(target);
  fs::path temp_path;
  errno = 0;
  File to = CreateTemporaryBeside(target_path.parent_path(), temp_path);
  if (!to) return fail("cannot create", target, std::generic_category().message(errno));

  errno = 0;
  bool ok = CopyContents(from.get(), to.get());
  int reason = errno;
  from.reset();
  if (std::fclose(to.release()) != 0 && ok) {
    ok = false;
    reason = errno;
  }
  if (!ok) {
    fs::remove(temp_path, ec);
    // A read error of the source and a write error of the copy look alike
    // here; the system's reason (EIO, ENOSPC, EFBIG) tells them apart.
    return fail("cannot copy", source + " to " + target,
                reason != 0 ? std::generic_category().message(reason) : "the copy is incomplete");
  }
  // The copy carries the date of the cached file, as the system's own copy does.
  const auto modified = fs::last_write_time(source, ec);
  if (!ec) fs::last_write_time(temp_path, modified, ec);
  fs::rename(temp_path, target_path, ec);
  if (ec) {
    const std::string reason_text = ec.message();
    fs::remove(temp_path, ec);
    return fail("cannot replace", target, reason_text);
  }
  return true;
}

}  // namespace webhoard
