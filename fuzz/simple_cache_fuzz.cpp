// One Simple Cache entry file made of the input, in a cache folder of its
// own, read as a cache: the one entry is counted, and a body kept lies
// inside the file. An input that starts like an entry file (its first magic
// byte) is the whole file; any other is a list of (position, byte) changes
// to a sound entry, which reaches the end records and the response info far
// more often than random whole files do.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cache/chromium/simple_cache_reader.h"
#include "cache/chromium/super_fast_hash.h"
#include "cache/http/crc32.h"
#include "common/little_endian.h"
#include "fuzz_files.h"

namespace {

using namespace webhoard;

constexpr const char* kName = "simple_cache_fuzz";

void AppendEndRecord(std::string& out, std::uint32_t flags, std::string_view stream,
                     std::uint32_t size) {
  AppendLE<std::uint64_t>(out, 0xf4fa6f45970d41d8);
  AppendLE<std::uint32_t>(out, flags);
  AppendLE<std::uint32_t>(out, Crc32(stream));
  AppendLE<std::uint32_t>(out, size);
  AppendLE<std::uint32_t>(out, 0);
}

// A 200 response with a body, a response info with extra flags and the
// original response time, and the key digest.
std::string SoundEntry() {
  const std::string key = "1/0/_dk_http://a.test http://a.test http://a.test/p.html";
  const std::string body = "<html>fuzz</html>";
  std::string info;
  AppendLE<std::uint32_t>(info, 0x80040003);
  AppendLE<std::uint32_t>(info, 0x6);
  for (int i = 0; i < 3; ++i) AppendLE<std::int64_t>(info, 13'360'000'000'000'000 + i);
  const std::string head("HTTP/1.1 200 OK\0Content-Type: text/html\0\0", 41);
  AppendLE<std::int32_t>(info, static_cast<std::int32_t>(head.size()));
  info += head + std::string(3, '\0');
  std::string pickle;
  AppendLE<std::uint32_t>(pickle, static_cast<std::uint32_t>(info.size()));
  pickle += info;

  std::string out;
  AppendLE<std::uint64_t>(out, 0xfcfb6d1ba7725c30);
  AppendLE<std::uint32_t>(out, 5);
  AppendLE<std::uint32_t>(out, static_cast<std::uint32_t>(key.size()));
  AppendLE<std::uint32_t>(out, SuperFastHash(key));
  AppendLE<std::uint32_t>(out, 0);
  out += key + body;
  AppendEndRecord(out, 1, body, 0);
  out += pickle + std::string(32, '\0');
  AppendEndRecord(out, 3, pickle, static_cast<std::uint32_t>(pickle.size()));
  return out;
}

std::string EntryFromInput(const std::uint8_t* data, std::size_t size) {
  if (size > 0 && data[0] == 0x30) return std::string(reinterpret_cast<const char*>(data), size);
  static const std::string sound = SoundEntry();
  std::string entry = sound;
  for (std::size_t i = 0; i + 2 < size; i += 3) {
    const std::size_t at = (static_cast<std::size_t>(data[i]) << 8 | data[i + 1]) % entry.size();
    entry[at] = static_cast<char>(data[i + 2]);
  }
  return entry;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string folder = fuzz_files::FreshFolder("Cache_Data");
  const std::string entry = EntryFromInput(data, size);
  if (!fuzz_files::WriteFile(folder + "/0123456789abcdef_0", entry)) return 0;
  const StoredResponses read = ReadSimpleCache(folder);
  fuzz_files::Check(read.entries == 1, kName, "the entry was not counted once");
  fuzz_files::Check(read.responses.size() + read.SkippedCount() == 1, kName,
                    "the entry was neither kept nor skipped");
  if (size == 0) fuzz_files::Check(read.responses.size() == 1, kName, "the sound entry was lost");
  for (const StoredResponse& response : read.responses) {
    fuzz_files::Check(response.body.length <= entry.size() &&
                          response.body.offset <= entry.size() - response.body.length,
                      kName, "a body lies outside the entry file");
  }
  return 0;
}
