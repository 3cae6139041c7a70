#include "support/simple_cache_writer.h"

#include <cstdio>
#include <stdexcept>

#include "cache/chromium/super_fast_hash.h"
#include "cache/http/crc32.h"
#include "common/file_util.h"
#include "common/little_endian.h"

namespace webhoard::testing {
namespace {

constexpr std::uint64_t kInitialMagic = 0xfcfb6d1ba7725c30;
constexpr std::uint64_t kFinalMagic = 0xf4fa6f45970d41d8;
constexpr std::uint64_t kRangeMagic = 0xeb97bf016553676b;
constexpr std::int64_t kMicrosecondsTo1970 = 11644473600LL * 1'000'000;

void AppendPadded(std::string& out, std::string_view bytes) {
  AppendLE<std::int32_t>(out, static_cast<std::int32_t>(bytes.size()));
  out += bytes;
  out.append((4 - bytes.size() % 4) % 4, '\0');
}

void AppendChromiumTime(std::string& out, std::int64_t unix_seconds) {
  AppendLE<std::int64_t>(out, unix_seconds * 1'000'000 + kMicrosecondsTo1970 + 123'456);
}

std::string Header(std::uint32_t version, std::string_view key) {
  std::string out;
  AppendLE<std::uint64_t>(out, kInitialMagic);
  AppendLE<std::uint32_t>(out, version);
  AppendLE<std::uint32_t>(out, static_cast<std::uint32_t>(key.size()));
  AppendLE<std::uint32_t>(out, SuperFastHash(key));
  AppendLE<std::uint32_t>(out, 0);
  out += key;
  return out;
}

void AppendEndRecord(std::string& out, std::uint32_t flags, std::string_view stream,
                     std::uint32_t stream_size) {
  AppendLE<std::uint64_t>(out, kFinalMagic);
  AppendLE<std::uint32_t>(out, flags | 1);  // with a CRC, as the browser always writes
  AppendLE<std::uint32_t>(out, Crc32(stream));
  AppendLE<std::uint32_t>(out, stream_size);
  AppendLE<std::uint32_t>(out, 0);
}

std::string SparseFile(const SimpleEntrySpec& spec) {
  std::string out = Header(9, spec.key);
  AppendLE<std::uint64_t>(out, kRangeMagic);
  AppendLE<std::uint64_t>(out, 0);
  AppendLE<std::uint64_t>(out, spec.body.size());
  AppendLE<std::uint32_t>(out, Crc32(spec.body));
  AppendLE<std::uint32_t>(out, 0);
  return out + spec.body;
}

void WriteWhole(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  const bool ok =
      file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (file == nullptr || std::fclose(file) != 0 || !ok) {
    throw std::runtime_error("cannot write " + path);
  }
}

}  // namespace

std::string ResponseInfoPickle(const ResponseInfoSpec& spec) {
  std::uint32_t flags = spec.version | 1u << 18;  // connection info, in every real pickle
  if (spec.truncated) flags |= 1u << 12;
  if (spec.vary) flags |= 1u << 11;
  if (spec.extra_flags) flags |= 1u << 31;
  std::string payload;
  AppendLE<std::uint32_t>(payload, flags);
  if (spec.extra_flags) {
    AppendLE<std::uint32_t>(payload, spec.original_response_time ? 0x6u : 0x2u);
  }
  AppendChromiumTime(payload, spec.request_time);
  AppendChromiumTime(payload, spec.response_time);
  if (spec.extra_flags && spec.original_response_time) {
    AppendChromiumTime(payload, *spec.original_response_time);
  }
  std::string head = spec.head;
  for (char& c : head) {
    if (c == '\n') c = '\0';
  }
  AppendPadded(payload, head + std::string(2, '\0'));
  if (spec.vary) {
    AppendLE<std::int32_t>(payload, 2);  // hash type, then the digest
    payload.append(32, '\x5a');
  }
  AppendLE<std::int32_t>(payload, 0);  // the connection info
  std::string pickle;
  AppendLE<std::uint32_t>(pickle, static_cast<std::uint32_t>(payload.size()));
  return pickle + payload;
}

std::string SimpleEntryHash(std::string_view key) {
  std::uint64_t hash = 0xcbf29ce484222325;  // FNV-1a
  for (const char c : key) hash = (hash ^ static_cast<std::uint8_t>(c)) * 0x100000001b3;
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
  return digits;
}

std::string SimpleEntryFile(const SimpleEntrySpec& spec) {
  std::string out = Header(5, spec.key);
  out += spec.body;
  if (!spec.finished) return out + std::string(380, '\0');  // room kept for the rest
  AppendEndRecord(out, 0, spec.body, 0);
  const std::string info = ResponseInfoPickle(spec.info);
  out += info;
  if (spec.key_sha256) out.append(32, '\0');
  AppendEndRecord(out, spec.key_sha256 ? 2 : 0, info, static_cast<std::uint32_t>(info.size()));
  return out;
}

std::vector<std::string> WriteSimpleCache(const std::string& folder,
                                          const std::vector<SimpleEntrySpec>& entries) {
  std::string index;
  AppendLE<std::uint64_t>(index, kInitialMagic);
  AppendLE<std::uint32_t>(index, 9);
  index.append(12, '\0');
  WriteWhole(JoinPath(folder, "index"), index);
  std::vector<std::string> paths;
  paths.reserve(entries.size());
  for (const SimpleEntrySpec& spec : entries) {
    const std::string stem = JoinPath(folder, SimpleEntryHash(spec.key));
    WriteWhole(stem + "_0", SimpleEntryFile(spec));
    if (spec.sparse) WriteWhole(stem + "_s", SparseFile(spec));
    paths.push_back(stem + "_0");
  }
  return paths;
}

}  // namespace webhoard::testing
