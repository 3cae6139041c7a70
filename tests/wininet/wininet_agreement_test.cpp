// WinINet and `webhoard.exe --ie` agree about the current user's URL cache:
// the program lists exactly the entries WinINet enumerates, and what it
// deletes is gone for WinINet too, while the rest of the container stays
// readable. The entries are committed through WinINet itself, as a browser
// would, and the program runs as a separate process beside this one.
//
// Wine's WinINet (8.0) enumerates every entry only with the NULL (or "")
// pattern: "*.*" and an address prefix ("http://") answer
// ERROR_NO_MORE_ITEMS even while entries exist. NULL is the pattern WinINet
// documents for every entry, and the one webhoard.exe asks with, so both
// sides here enumerate with NULL.
#include <gtest/gtest.h>
#include <windows.h>
// wininet.h needs the types of windows.h.
#include <wininet.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/program_run.h"

namespace webhoard {
namespace {

using namespace std::string_literals;

constexpr char kHtml[] = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
constexpr char kGif[] = "HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\n\r\n";
constexpr char kText[] = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n";

// The smallest GIF: one transparent pixel (it holds NUL bytes).
const std::string kPixelGif =
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00\x00"
    "\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b"s;

struct Committed {
  std::string url;
  std::string extension;
  std::string headers;
  std::string body;
  std::string listed;  // the address `list` shows, as http://host:port/path; "" if dropped
};

const std::string kDeletedHost = "wininet-check-one.example";
const std::vector<Committed> kEntries = {
    {"http://wininet-check-one.example/page.html", "html", kHtml, "<html><p>one</p></html>\n",
     "http://wininet-check-one.example:80/page.html"},
    {"http://wininet-check-one.example/logo.gif", "gif", kGif, kPixelGif,
     "http://wininet-check-one.example:80/logo.gif"},
    {"https://wininet-check-two.example/account/index.html", "html", kHtml, "<html>two</html>\n",
     "https://wininet-check-two.example:443/account/index.html"},
    {"http://wininet-check-three.example:8080/notes.txt", "txt", kText, "three\r\n",
     "http://wininet-check-three.example:8080/notes.txt"},
    {"ftp://wininet-check-three.example/pub/readme.txt", "txt", "", "readme\r\n", ""},
};

bool OnDeletedHost(const Committed& entry) {
  return entry.url.find("//" + kDeletedHost + "/") != std::string::npos;
}

// Creates the entry's file, writes the body into it and commits it.
void Commit(const Committed& entry) {
  char file[MAX_PATH] = {};
  ASSERT_TRUE(::CreateUrlCacheEntryA(entry.url.c_str(), 0, entry.extension.c_str(), file, 0))
      << entry.url << ": error " << ::GetLastError();
  const HANDLE handle = ::CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE) << file;
  DWORD written = 0;
  ::WriteFile(handle, entry.body.data(), static_cast<DWORD>(entry.body.size()), &written, nullptr);
  ::CloseHandle(handle);
  ASSERT_EQ(written, entry.body.size()) << file;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const FILETIME never = {};
  ASSERT_TRUE(::CommitUrlCacheEntryA(
      entry.url.c_str(), file, never, now, NORMAL_CACHE_ENTRY,
      reinterpret_cast<BYTE*>(const_cast<char*>(entry.headers.data())),
      static_cast<DWORD>(entry.headers.size()), entry.extension.c_str(), nullptr))
      << entry.url << ": error " << ::GetLastError();
}

// Entries by their cached file, which names each one exactly: source URL
// names from WinINet, shown addresses from `list`.
using EntriesByFile = std::map<std::string, std::string>;

// What WinINet enumerates with no pattern, and the error of the call that
// opened the enumeration (0 when it opened).
struct Enumeration {
  EntriesByFile entries;
  DWORD open_error = 0;
  bool Holds(const std::string& url) const {
    for (const auto& entry : entries) {
      if (entry.second == url) return true;
    }
    return false;
  }
};

Enumeration WinInetEntries() {
  Enumeration found;
  std::vector<std::uint64_t> buffer(512);  // 64-bit words keep the record's pointers aligned
  const auto info = [&] { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()); };
  const auto capacity = [&] { return static_cast<DWORD>(buffer.size() * sizeof(buffer[0])); };
  HANDLE find = nullptr;
  for (;;) {
    DWORD size = capacity();
    const bool ok = find == nullptr
                        ? (find = ::FindFirstUrlCacheEntryA(nullptr, info(), &size)) != nullptr
                        : ::FindNextUrlCacheEntryA(find, info(), &size) != 0;
    if (!ok && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      buffer.resize(size / sizeof(buffer[0]) + 1);
      continue;
    }
    if (!ok) {
      if (find == nullptr) found.open_error = ::GetLastError();
      break;
    }
    found.entries[info()->lpszLocalFileName != nullptr ? info()->lpszLocalFileName : ""] =
        info()->lpszSourceUrlName;
  }
  if (find != nullptr) ::FindCloseUrlCache(find);
  return found;
}

using Outcome = testing::ProgramOutcome;

std::string WebhoardPath() {
  char path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + "webhoard.exe";
}

// Runs webhoard.exe with `arguments`, no input, and collects what it says.
Outcome RunWebhoard(const std::string& arguments) {
  return testing::RunProgram(WebhoardPath(), testing::SplitArguments(arguments), {});
}

std::vector<std::string> Lines(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream stream(out);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// The items of `webhoard list` output, whose tab-separated columns are
// MimeIndex, Category, Date, URL, Domain, LocalFile.
EntriesByFile Listed(const std::string& out) {
  EntriesByFile items;
  for (const std::string& line : Lines(out)) {
    std::vector<std::string> fields;
    std::istringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (fields.size() == 6) items[fields[5]] = fields[3];
  }
  return items;
}

// The "N entries, N items, N dropped" of the summary `list` writes to stderr.
struct ReadCounts {
  unsigned long long entries = 0, items = 0, dropped = 0;
};

ReadCounts Counts(const std::string& err) {
  ReadCounts counts;
  const std::size_t at = err.find(": ");
  if (at != std::string::npos) {
    std::sscanf(err.c_str() + at + 2, "%llu entries, %llu items, %llu dropped", &counts.entries,
                &counts.items, &counts.dropped);
  }
  return counts;
}

std::set<std::string> FilesOf(const EntriesByFile& entries) {
  std::set<std::string> files;
  for (const auto& entry : entries) files.insert(entry.first);
  return files;
}

class WinInetAgreement : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::GetFileAttributesA(WebhoardPath().c_str()) == INVALID_FILE_ATTRIBUTES) {
      GTEST_SKIP() << WebhoardPath() << " is not built: build the webhoard target";
    }
    RemoveOurEntries();
    for (const Committed& entry : kEntries) ASSERT_NO_FATAL_FAILURE(Commit(entry));
  }

  void TearDown() override { RemoveOurEntries(); }

  static void RemoveOurEntries() {
    for (const Committed& entry : kEntries) ::DeleteUrlCacheEntryA(entry.url.c_str());
  }
};

TEST_F(WinInetAgreement, ListsWhatWinInetEnumerates) {
  const Enumeration wininet = WinInetEntries();
  ASSERT_EQ(wininet.open_error, 0u);
  const Outcome list = RunWebhoard("list --ie");
  ASSERT_EQ(list.status, 0) << list.err;
  // Every entry WinINet enumerates is read; each is listed under its own
  // cached file, or counted as dropped.
  const EntriesByFile listed = Listed(list.out);
  const ReadCounts counts = Counts(list.err);
  EXPECT_EQ(counts.entries, wininet.entries.size()) << list.err;
  EXPECT_EQ(counts.items, listed.size()) << list.err;
  EXPECT_EQ(listed.size() + counts.dropped, wininet.entries.size()) << list.err;
  for (const std::string& file : FilesOf(listed)) {
    EXPECT_EQ(wininet.entries.count(file), 1u) << file;
  }
  for (const Committed& entry : kEntries) {
    EXPECT_TRUE(wininet.Holds(entry.url)) << entry.url;
    for (const auto& [file, url] : wininet.entries) {
      if (url != entry.url) continue;
      EXPECT_EQ(listed.count(file) ? listed.at(file) : "", entry.listed) << file;
    }
  }
}

TEST_F(WinInetAgreement, DeletesOneHostAndLeavesTheRest) {
  const Outcome deleted = RunWebhoard("delete --ie --domain " + kDeletedHost + " --yes");
  ASSERT_EQ(deleted.status, 0) << deleted.err;
  EXPECT_EQ(Lines(deleted.out), std::vector<std::string>{"2"}) << deleted.err;  // page, picture

  const Enumeration wininet = WinInetEntries();
  // Only an emptied cache may refuse to open, and then with "no more items".
  EXPECT_TRUE(wininet.open_error == 0 ||
              (wininet.open_error == ERROR_NO_MORE_ITEMS && wininet.entries.empty()))
      << "error " << wininet.open_error;
  for (const Committed& entry : kEntries) {
    EXPECT_EQ(wininet.Holds(entry.url), !OnDeletedHost(entry)) << entry.url;
    if (!OnDeletedHost(entry)) continue;
    DWORD size = 0;
    EXPECT_FALSE(::GetUrlCacheEntryInfoA(entry.url.c_str(), nullptr, &size)) << entry.url;
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << entry.url;
  }
  const EntriesByFile listed = Listed(RunWebhoard("list --ie").out);
  for (const auto& [file, url] : wininet.entries) {
    EXPECT_EQ(listed.count(file), url.rfind("ftp:", 0) == 0 ? 0u : 1u) << url;
  }
}

}  // namespace
}  // namespace webhoard
