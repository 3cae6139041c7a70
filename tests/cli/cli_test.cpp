// The `webhoard` command line, run as a user runs it: a separate process
// with its own settings folder, over caches the tests write.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "common/file_util.h"
#include "support/archive_checks.h"
#include "support/environment.h"
#include "support/index_dat_writer.h"
#include "support/navigator_index_writer.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::TextIndex;
using testing::TextIndexLine;

// Entry times relative to now: the age filters compare with the clock.
const std::int64_t kRecent = static_cast<std::int64_t>(std::time(nullptr)) - 2 * 86400;
const std::int64_t kOld = kRecent - 3000LL * 86400;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// "-?[0-9]+"
bool IsWholeNumber(std::string_view word) {
  if (word.starts_with('-')) word.remove_prefix(1);
  return !word.empty() && std::all_of(word.begin(), word.end(), IsDigit);
}

// "2026-12-09T10:20:30+01:00": digits where the pattern has 9, a sign
// where it has "+".
bool IsIsoDateWithOffset(std::string_view text) {
  constexpr std::string_view kShape = "9999-99-99T99:99:99+99:99";
  if (text.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char want = kShape[i];
    const bool ok = want == '9'   ? IsDigit(text[i])
                    : want == '+' ? text[i] == '+' || text[i] == '-'
                                  : text[i] == want;
    if (!ok) return false;
  }
  return true;
}

#ifndef _WIN32  // only the manual page test, which a cross build skips, needs it
// Every "--name" (lower-case letters and dashes) a help text mentions.
std::vector<std::string> LongOptionsIn(std::string_view help) {
  std::vector<std::string> names;
  const auto is_name = [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; };
  for (std::size_t at = help.find("--"); at != std::string_view::npos; at = help.find("--", at)) {
    std::size_t end = at + 2;
    if (end < help.size() && help[end] >= 'a' && help[end] <= 'z') {
      while (end < help.size() && is_name(help[end])) ++end;
      names.emplace_back(help.substr(at, end - at));
    }
    at = end;
  }
  return names;
}
#endif

// A line of --json output as a map of its fields: strings decoded (\u00XX
// as that byte, as the writer escapes stray bytes), numbers and null as
// written; nullopt when the line is not one flat JSON object.
std::optional<std::map<std::string, std::string>> ParseJsonLine(std::string_view line) {
  std::size_t i = 0;
  const auto string = [&]() -> std::optional<std::string> {
    if (i >= line.size() || line[i++] != '"') return std::nullopt;
    std::string text;
    while (i < line.size() && line[i] != '"') {
      const auto byte = static_cast<unsigned char>(line[i]);
      if (byte < 0x20) return std::nullopt;
      if (line[i++] != '\\') {
        text += static_cast<char>(byte);
        continue;
      }
      if (i >= line.size()) return std::nullopt;
      const char escape = line[i++];
      const std::string simple = "\"\\/bfnrt";
      const std::string meant = "\"\\/\b\f\n\r\t";
      if (simple.find(escape) != std::string::npos) {
        text += meant[simple.find(escape)];
      } else if (escape == 'u' && i + 4 <= line.size()) {
        text += static_cast<char>(std::stoi(std::string(line.substr(i, 4)), nullptr, 16));
        i += 4;
      } else {
        return std::nullopt;
      }
    }
    if (i++ >= line.size()) return std::nullopt;
    return text;
  };
  std::map<std::string, std::string> fields;
  if (line.empty() || line[i++] != '{') return std::nullopt;
  while (i < line.size() && line[i] != '}') {
    if (!fields.empty() && line[i++] != ',') return std::nullopt;
    const auto key = string();
    if (!key || i >= line.size() || line[i++] != ':') return std::nullopt;
    if (line[i] == '"') {
      const auto value = string();
      if (!value) return std::nullopt;
      fields[*key] = *value;
    } else {
      const std::size_t end = line.find_first_of(",}", i);
      if (end == std::string_view::npos) return std::nullopt;
      const std::string word(line.substr(i, end - i));
      if (word != "null" && !IsWholeNumber(word)) return std::nullopt;
      fields[*key] = word;
      i = end;
    }
  }
  if (i + 1 != line.size()) return std::nullopt;
  return fields;
}

// Every line of --json output, parsed; a line that is no object fails.
std::vector<std::map<std::string, std::string>> JsonLines(const std::string& out) {
  std::vector<std::map<std::string, std::string>> objects;
  std::size_t start = 0;
  for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    const auto object = ParseJsonLine(std::string_view(out).substr(start, end - start));
    EXPECT_TRUE(object.has_value()) << out.substr(start, end - start);
    if (object) objects.push_back(*object);
  }
  EXPECT_EQ(start, out.size()) << "unfinished last line";
  return objects;
}

using Outcome = testing::ProgramOutcome;

class CommandLine : public ::testing::Test {
 protected:
  CommandLine() {
    std::filesystem::create_directories(dir_.File("home"));
    std::filesystem::copy(std::string(WEBHOARD_SOURCE_DIR) + "/images", dir_.File("home/images"));
  }

  // `arguments` as a shell would split them ('...' quotes).
  Outcome Run(const std::string& arguments, const std::string& input = "") {
    return testing::RunProgram(
        WEBHOARD_CLI, testing::SplitArguments(arguments),
        {{"WEBHOARD_CONFIG_DIR", dir_.File("config")}, {"WEBHOARD_HOME", dir_.File("home")}},
        input);
  }

  // A Navigator text index over a small site: two pages, an image of the
  // same site, an old PDF of another site.
  std::string MakeCache() {
    dir_.Write("cache/A.MOZ",
               "<html><title>Start</title><a href=\"b.html\">B</a>"
               "<img src=\"pic.gif\"> needle</html>");
    dir_.Write("cache/B.MOZ", "<html><title>Second</title><a href=\"/\">home</a></html>");
    dir_.Write("cache/C.MOZ", "GIF89a\x02\x00\x02\x00");
    dir_.Write("cache/D.MOZ", "%PDF-1.1");
    return dir_.Write(
        "cache/FAT",
        TextIndex({TextIndexLine(kRecent, "A.MOZ", "http://www.site.com/", "text/html"),
                   TextIndexLine(kRecent, "B.MOZ", "http://www.site.com/b.html", "text/html"),
                   TextIndexLine(kRecent, "C.MOZ", "http://www.site.com/pic.gif", "image/gif"),
                   TextIndexLine(kOld, "D.MOZ", "http://docs.org/d.pdf", "application/pdf")}));
  }

#ifndef _WIN32
  // Runs a shell script in which $wh is the program, with the test's
  // settings folder; `obey_permissions` takes root's right to ignore file
  // permissions away from it. The status is the script's.
  Outcome Shell(const std::string& script, bool obey_permissions = false) {
    testing::TempDir io;
    const std::string full = "export WEBHOARD_CONFIG_DIR='" + dir_.File("config") +
                             "' WEBHOARD_HOME='" + dir_.File("home") + "'; wh=" + WEBHOARD_CLI +
                             "; { " + script + "\n} >" + io.File("out") + " 2>" + io.File("err") +
                             " </dev/null";
    const pid_t child = ::fork();
    if (child == 0) {
      if (obey_permissions && !testing::ObeyFilePermissions()) ::_exit(99);
      ::execl("/bin/sh", "sh", "-c", full.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    Outcome outcome;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.out = ReadFileBytes(io.File("out")).value_or("");
    outcome.err = ReadFileBytes(io.File("err")).value_or("");
    return outcome;
  }

#endif

  // A text index over `sites` sites of `pages` pages and as many images;
  // every page links to every page and image of its site.
  std::string MakeSites(int sites, int pages) {
    std::vector<std::string> lines;
    int n = 0;
    for (int s = 0; s < sites; ++s) {
      const std::string host = "http://s" + std::to_string(s) + ".com/";
      std::string links;
      for (int i = 0; i < pages; ++i) {
        links += "<a href=\"p" + std::to_string(i) + ".html\">p</a><img src=\"i" +
                 std::to_string(i) + ".gif\">";
      }
      for (int i = 0; i < pages; ++i) {
        const std::string page = "F" + std::to_string(++n);
        dir_.Write("sites/" + page, "<title>P</title>" + links);
        lines.push_back(
            TextIndexLine(kRecent, page, host + "p" + std::to_string(i) + ".html", "text/html"));
        const std::string image = "F" + std::to_string(++n);
        dir_.Write("sites/" + image, "GIF89a");
        lines.push_back(
            TextIndexLine(kRecent, image, host + "i" + std::to_string(i) + ".gif", "image/gif"));
      }
    }
    return dir_.Write("sites/FAT", TextIndex(lines));
  }

  std::size_t Lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }

  testing::TempDir dir_;
};

TEST_F(CommandLine, HelpVersionAndBadUsage) {
  EXPECT_EQ(Run("--help").status, 0);
  EXPECT_NE(Run("--help").out.find("archive"), std::string::npos);
  EXPECT_EQ(Run("--version").out.rfind("webhoard ", 0), 0u);
  const Outcome none = Run("");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("usage"), std::string::npos);
  EXPECT_EQ(Run("frobnicate").status, 1);
  for (const char* command :
       {"list", "archive", "delete", "search", "reindex", "catalog", "settings"}) {
    const Outcome help = Run(std::string(command) + " --help");
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_NE(help.out.find("usage: webhoard"), std::string::npos) << command;
  }
  EXPECT_EQ(Run("list").status, 1);                      // no cache named
  EXPECT_EQ(Run("list --netscape a --ie b").status, 1);  // both named
  EXPECT_EQ(Run("list --netscape " + MakeCache() + " --newer 3x").status, 1);
  EXPECT_EQ(Run("list --netscape " + MakeCache() + " --types text,pics").status, 1);
  EXPECT_EQ(Run("list --netscape " + MakeCache() + " --bogus").status, 1);
  const Outcome missing = Run("list --netscape " + dir_.File("nowhere/FAT"));
  EXPECT_EQ(missing.status, 2);
#ifndef _WIN32  // the system's words
  EXPECT_EQ(missing.err,
            "webhoard: list: " + dir_.File("nowhere/FAT") + ": No such file or directory\n");
#endif
}

TEST_F(CommandLine, ListAppliesTheExplorersFilters) {
  const std::string index = MakeCache();
  const Outcome all = Run("list --netscape " + index);
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(Lines(all.out), 4u);
  EXPECT_NE(all.out.find("1\t0\t"), std::string::npos);
  EXPECT_NE(
      all.out.find("\thttp://www.site.com:80/b.html\twww.site.com\t" + dir_.File("cache/B.MOZ")),
      std::string::npos);
  EXPECT_NE(all.err.find("Text 2, Media 1, Other 1"), std::string::npos) << all.err;

  EXPECT_EQ(Lines(Run("list --netscape " + index + " --types media").out), 1u);
  EXPECT_EQ(Lines(Run("list --netscape " + index + " --domain DOCS.org").out), 1u);
  EXPECT_EQ(Lines(Run("list --netscape " + index + " --newer 1w").out), 3u);
  EXPECT_EQ(Lines(Run("list --netscape " + index + " --older 1w").out), 1u);
  const Outcome unknown = Run("list --netscape " + index + " --domain nowhere.net");
  EXPECT_EQ(Lines(unknown.out), 0u);
  EXPECT_NE(unknown.err.find("nowhere.net"), std::string::npos);
}

TEST_F(CommandLine, ArchiveCatalogSearchAndReindex) {
  const std::string index = MakeCache();
  const std::string archive = dir_.File("my archive");
  const Outcome made = Run("archive --netscape " + index + " --to '" + archive + "' --yes");
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out, archive + "/1st_page.htm\n");
  const std::string page = ReadFileBytes(archive + "/www.site.com/text/b.htm").value_or("");
  EXPECT_NE(page.find("../../www.site.com/text/www.site.com.htm"), std::string::npos) << page;

  const Outcome catalog = Run("catalog '" + archive + "'");
  ASSERT_EQ(catalog.status, 0);
  EXPECT_EQ(Lines(catalog.out), 4u);
  EXPECT_NE(catalog.out.find("\thttp://www.site.com:80/\tStart\twww.site.com.htm\n"),
            std::string::npos)
      << catalog.out;

  const Outcome by_text = Run("search '" + archive + "' --text NEEDLE");
  EXPECT_EQ(by_text.out,
            "http://www.site.com/\t" + archive + "/www.site.com/text/www.site.com.htm\n");
  EXPECT_EQ(Lines(Run("search '" + archive + "' --url site.com").out), 3u);
  const Outcome nothing = Run("search '" + archive + "' --url absent");
  EXPECT_EQ(nothing.status, 0);
  EXPECT_NE(nothing.err.find("no archived item matches"), std::string::npos);
  EXPECT_EQ(Run("search '" + archive + "'").status, 1);
  EXPECT_EQ(Run("search " + dir_.File("cache") + " --url x").status, 2);  // no archive.dat

  // Files deleted by hand leave the catalogue at the next re-index; with
  // every copy gone the catalogue itself goes.
  std::filesystem::remove_all(archive + "/docs.org");
  EXPECT_NE(Run("catalog '" + archive + "'").err.find("1 records name copies that no longer exist"),
            std::string::npos);
  ASSERT_EQ(Run("reindex '" + archive + "' --yes").status, 0);
  EXPECT_EQ(Lines(Run("catalog '" + archive + "'").out), 3u);

  // A damaged catalogue: what comes before the damage is listed and
  // searched, the damage is named with its offset, and the status says so.
  const std::string dat = ReadFileBytes(archive + "/archive.dat").value_or("");
  dir_.Write("my archive/archive.dat", dat + "junk");
  const Outcome damaged = Run("catalog '" + archive + "'");
  EXPECT_EQ(damaged.status, 2);
  EXPECT_EQ(Lines(damaged.out), 3u);
  EXPECT_NE(damaged.err.find("record 3 at offset " + std::to_string(dat.size())), std::string::npos)
      << damaged.err;
  const Outcome searched = Run("search '" + archive + "' --url site.com");
  EXPECT_EQ(searched.status, 2);
  EXPECT_EQ(Lines(searched.out), 3u);
  dir_.Write("my archive/archive.dat", dat);
  std::filesystem::remove_all(archive + "/www.site.com");
  ASSERT_EQ(Run("reindex '" + archive + "' --yes").status, 0);
  EXPECT_FALSE(FileExists(archive + "/archive.dat"));
  EXPECT_EQ(Run("reindex ''").status, 1);
}

TEST_F(CommandLine, OutputCarriesNoControlBytesAndFailedWritesFail) {
  const std::string index = MakeCache();
  // A page title from a web server reaches the catalogue listing.
  dir_.Write("cache/A.MOZ", "<html><title>Start\x1b]0;owned\x07</title></html>");
  const std::string archive = dir_.File("archive");
  ASSERT_EQ(Run("archive --netscape " + index + " --to " + archive + " --yes").status, 0);
  const Outcome listed = Run("catalog " + archive);
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out.find('\x1b'), std::string::npos);
  EXPECT_NE(listed.out.find("\tStart\\x1B]0;owned\t"), std::string::npos) << listed.out;
#ifndef _WIN32
  const Outcome full = Shell("$wh catalog " + archive + " >/dev/full");
  EXPECT_EQ(full.status, 2);
  EXPECT_NE(full.err.find("cannot write the output"), std::string::npos) << full.err;
#endif
}

#ifndef _WIN32  // links need a privilege on Windows
TEST_F(CommandLine, CachedFilesThatAreLinksAreNeverArchived) {
  // A cache folder from elsewhere whose "page" is a link to a user's key.
  const std::string secret = dir_.Write("home/.ssh/id_rsa", "PRIVATE KEY");
  dir_.Write("cache/ok.htm", "<html><title>Fine</title></html>");
  std::filesystem::create_symlink(secret, dir_.File("cache/s.html"));
  const std::string index = dir_.Write(
      "cache/FAT",
      TextIndex({TextIndexLine(kRecent, "s.html", "http://x.example/s.html", "text/html"),
                 TextIndexLine(kRecent, "ok.htm", "http://x.example/ok.html", "text/html")}));
  const std::string archive = dir_.File("archive");
  const Outcome made = Run("archive --netscape " + index + " --to " + archive + " --yes");
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_NE(made.err.find("2 entries, 1 items, 1 dropped"), std::string::npos) << made.err;
  EXPECT_EQ(Lines(Run("catalog " + archive).out), 1u);
  EXPECT_FALSE(std::filesystem::exists(archive + "/x.example/text/s.htm"));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(archive)) {
    if (!entry.is_regular_file()) continue;
    EXPECT_EQ(ReadFileBytes(entry.path().string()).value_or("").find("PRIVATE KEY"),
              std::string::npos)
        << entry.path();
  }
}
#endif

TEST_F(CommandLine, ArchiveAsksOnTheTerminal) {
  const std::string index = MakeCache();
  // Refusing to create the folder archives nothing.
  const Outcome refused = Run("archive --netscape " + index + " --to " + dir_.File("new"), "n\n");
  EXPECT_EQ(refused.status, 4);
  EXPECT_NE(refused.err.find("create the archive folder " + dir_.File("new") +
                             " and archive 4 items of 2 sites into it? [y/N] "
                             "webhoard: archive: nothing archived"),
            std::string::npos)
      << refused.err;
  EXPECT_FALSE(DirectoryExists(dir_.File("new")));
  // Yes to the folder, no to opening the index.
  const Outcome made = Run("archive --netscape " + index + " --to " + dir_.File("new"), "y\nn\n");
  EXPECT_EQ(made.status, 0) << made.err;
  EXPECT_NE(made.err.find("open the index page " + dir_.File("new/1st_page.htm") +
                          " in the browser? [y/N]"),
            std::string::npos)
      << made.err;
  // Nothing chosen is no error.
  const Outcome empty =
      Run("archive --netscape " + index + " --to " + dir_.File("new") + " --domain none.com");
  EXPECT_EQ(empty.status, 0);
  EXPECT_NE(empty.err.find("nothing to archive"), std::string::npos);
}

TEST_F(CommandLine, DeleteConfirmsThenRemovesTheChosenFiles) {
  const std::string index = MakeCache();
  const Outcome declined = Run("delete --netscape " + index + " --types media", "n\n");
  EXPECT_EQ(declined.out, "0\n");
  EXPECT_EQ(declined.status, 4);
  EXPECT_NE(declined.err.find("delete 1 item of 1 site from the cache? [y/N] webhoard: delete: "
                              "nothing deleted\n"),
            std::string::npos)
      << declined.err;
  EXPECT_EQ(declined.err.find("WARNING"), std::string::npos);
  EXPECT_TRUE(FileExists(dir_.File("cache/C.MOZ")));

  const Outcome media = Run("delete --netscape " + index + " --types media --yes");
  EXPECT_EQ(media.out, "1\n");
  EXPECT_FALSE(FileExists(dir_.File("cache/C.MOZ")));
  EXPECT_TRUE(FileExists(dir_.File("cache/A.MOZ")));

  const Outcome everything = Run("delete --netscape " + index + " --yes");
  EXPECT_NE(everything.err.find("WARNING: this deletes the entire cache, all 3 items of 2 sites"),
            std::string::npos)
      << everything.err;
  EXPECT_EQ(everything.out, "3\n");
  EXPECT_FALSE(FileExists(dir_.File("cache/A.MOZ")));
  EXPECT_TRUE(FileExists(dir_.File("cache/FAT")));  // the index itself stays

  const Outcome none = Run("delete --netscape " + index + " --yes");
  EXPECT_NE(none.err.find("nothing to delete"), std::string::npos);
}

#ifndef _WIN32  // Wine drive letters
TEST_F(CommandLine, DeleteFindsTheCacheOfAWindowsIndexPathInTheWinePrefix) {
  MakeCache();
  std::filesystem::create_directories(dir_.File("prefix/dosdevices"));
  std::filesystem::create_directory_symlink(dir_.path(), dir_.File("prefix/dosdevices/c:"));
  const char* old = std::getenv("WINEPREFIX");
  const std::string saved = old != nullptr ? old : "";
  testing::SetEnvironment("WINEPREFIX", dir_.File("prefix").c_str());
  // The cache folder is that of C:\cache\FAT, not the working folder.
  const Outcome media = Run("delete --netscape 'C:\\cache\\FAT' --types media --yes");
  if (old != nullptr) {
    testing::SetEnvironment("WINEPREFIX", saved.c_str());
  } else {
    testing::SetEnvironment("WINEPREFIX", nullptr);
  }
  EXPECT_EQ(media.status, 0) << media.err;
  EXPECT_EQ(media.out, "1\n") << media.err;
  EXPECT_FALSE(FileExists(dir_.File("cache/C.MOZ")));
  EXPECT_TRUE(FileExists(dir_.File("cache/A.MOZ")));
}
#endif

#ifndef _WIN32  // containers by folder: Windows has WinINet
TEST_F(CommandLine, InternetExplorerContainersEmptiedOrUnreadableAreToldApart) {
  auto entry = [](std::string url, std::string file, std::string headers = "") {
    testing::SyntheticEntry e;
    e.url = std::move(url);
    e.file_name = std::move(file);
    e.headers = std::move(headers);
    e.last_access = (static_cast<std::uint64_t>(kRecent) + 11644473600ULL) * 10000000ULL;
    return e;
  };
  // Every entry deleted through the program itself.
  dir_.Write("emptied/index.dat", testing::BuildIndexDat({entry("http://a.com/", "a.htm"),
                                                          entry("http://b.com/", "b.gif")})
                                      .bytes);
  dir_.Write("emptied/AAAAAAAA/a.htm", "<html>a</html>");
  dir_.Write("emptied/AAAAAAAA/b.gif", "GIF89a");
  const Outcome emptied = Run("delete --ie " + dir_.File("emptied") + " --yes");
  ASSERT_EQ(emptied.status, 0) << emptied.err;
  ASSERT_EQ(emptied.out, "2\n");
  dir_.Write("damaged/index.dat", "Client UrlCache MMF Ver 5.2");
  // An entry too large to read; its address carries an escape sequence.
  dir_.Write(
      "large/index.dat",
      testing::BuildIndexDat({entry("http://c.com/\x1b[2J", "c.htm", std::string(9000, 'h'))})
          .bytes);

  struct Row {
    std::string arguments;
    int status;
    std::string err;  // a part of stderr
  };
  const std::string archive = " --to " + dir_.File("archive") + " --yes";
  const Row rows[] = {
      {"list --ie " + dir_.File("emptied"), 0, "Text 0, Media 0, Other 0"},
      {"archive --ie " + dir_.File("emptied") + archive, 0, "nothing to archive"},
      {"delete --ie " + dir_.File("emptied") + " --yes", 0, "nothing to delete"},
      {"list --ie " + dir_.File("damaged"), 2,
       dir_.File("damaged") + ": index.dat is damaged (" + dir_.File("damaged/index.dat")},
      {"archive --ie " + dir_.File("damaged") + archive, 2, "index.dat is damaged"},
      {"list --ie " + dir_.File("large"), 2,
       dir_.File("large") + ": an entry is too large to be read (the entry for " +
           "http://c.com/\\x1B[2J needs"},
  };
  for (const Row& row : rows) {
    const Outcome outcome = Run(row.arguments);
    EXPECT_EQ(outcome.status, row.status) << row.arguments << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find(row.err), std::string::npos) << row.arguments << "\n" << outcome.err;
    EXPECT_EQ(outcome.err.find('\x1b'), std::string::npos) << row.arguments;
    EXPECT_EQ(outcome.err.find("error 259"), std::string::npos) << row.arguments;
  }
}
#endif

#ifndef _WIN32  // signals and /proc
TEST_F(CommandLine, CtrlCWhileALongIndexIsReadEndsTheCommand) {
  // Long enough that reading it takes many seconds: every entry names a
  // file that is missing, so each costs a look-up on disk.
  std::string text = "MCOM-CACHE\n";
  constexpr int kLines = 500000;
  text.reserve(kLines * 56);
  for (int i = 0; i < kLines; ++i) {
    text += "1\t2\t" + std::to_string(kRecent) + "\tM" + std::to_string(i) + ".MOZ\thttp://a.com/" +
            std::to_string(i) + "\ttext/html\t7\t8\n";
  }
  const std::string index = dir_.Write("big/FAT", text);
  text.clear();
  text.shrink_to_fit();

  const std::string err_file = dir_.File("stderr.txt");
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    testing::SetEnvironment("WEBHOARD_CONFIG_DIR", dir_.File("config").c_str());
    testing::SetEnvironment("WEBHOARD_HOME", dir_.File("home").c_str());
    std::freopen("/dev/null", "w", stdout);
    std::freopen(err_file.c_str(), "w", stderr);
    ::execl(WEBHOARD_CLI, WEBHOARD_CLI, "list", "--netscape", index.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Interrupt once the program has the index open, that is, while it reads.
  const auto started = std::chrono::steady_clock::now();
  const std::string fd_folder = "/proc/" + std::to_string(pid) + "/fd";
  auto reading = [&] {
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator(fd_folder, error)) {
      if (std::filesystem::read_symlink(fd.path(), error) == index) return true;
    }
    return false;
  };
  while (!reading() && std::chrono::steady_clock::now() - started < std::chrono::seconds(20)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ASSERT_EQ(::kill(pid, SIGINT), 0);
  const auto interrupted = std::chrono::steady_clock::now();
  int status = 0;
  bool ended = false;
  while (!(ended = ::waitpid(pid, &status, WNOHANG) == pid) &&
         std::chrono::steady_clock::now() - interrupted < std::chrono::seconds(20)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const auto waited = std::chrono::steady_clock::now() - interrupted;
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
  const std::string err = ReadFileBytes(err_file).value_or("");
  ASSERT_TRUE(ended) << "still running 20 s after Ctrl-C";
  ASSERT_TRUE(WIFEXITED(status)) << err;
  EXPECT_EQ(WEXITSTATUS(status), 130) << err;
  EXPECT_NE(err.find("interrupted while reading the cache"), std::string::npos) << err;
  EXPECT_LT(waited, std::chrono::seconds(5)) << err;
}
#endif

#ifndef _WIN32  // permissions, ulimit, signals
// Faults met by `webhoard archive`: what it says and its status, then the
// shared checks, and the same command without the fault finishes the job.
TEST_F(CommandLine, ArchiveFaultsAreReportedAndTheSameCommandFinishes) {
  constexpr int kSites = 4;
  constexpr int kPages = 40;
  const std::string index = MakeSites(kSites, kPages);
  const std::string archive = dir_.File("archive");
  const std::string command = "$wh archive --netscape " + index + " --to " + archive + " --yes";
  struct Case {
    const char* name;
    std::function<void()> prepare;
    std::string script;
    bool obey_permissions;
    std::vector<int> statuses;
    std::vector<std::string> said;
    std::vector<std::string> not_said;
  };
  const std::string unreadable_page = dir_.File("sites/F3");
  const std::string unreadable_image = dir_.File("sites/F8");
  std::string concurrent;
  for (int s = 0; s < kSites; ++s) {
    concurrent +=
        "(" + command + " --domain s" + std::to_string(s) + ".com; echo \"exit $?\" >&2) & ";
  }
  const std::vector<Case> cases = {
      {"unreadable cached files",
       [&] {
         std::filesystem::create_directories(archive);
         ::chmod(unreadable_page.c_str(), 0);
         ::chmod(unreadable_image.c_str(), 0);
       },
       command,
       true,
       {3},
       {"cannot read " + unreadable_page + ": Permission denied (http://s0.com:80/p1.html)",
        "cannot read " + unreadable_image + ": Permission denied (http://s0.com:80/i3.gif)",
        "318 items archived, 2 failed"},
       {}},
      {"read-only archive folder",
       [&] {
         std::filesystem::create_directories(archive);
         ::chmod(archive.c_str(), 0555);
       },
       command,
       true,
       {2},
       {"\nwebhoard: archive: cannot create " + archive + "/archive.lck: Permission denied\n"},
       {"items archived", "completed"}},
      {"full disk",
       [] {},
       "trap '' XFSZ; ulimit -f 8; " + command,
       false,
       {2},
       {"File too large", "the catalogue could not be saved"},
       {"archive holds", "completed"}},
      {"runs on one folder at once",
       [] {},
       concurrent + "wait",
       false,
       {0},
       {"waiting until it is done", "exit 0"},
       {"webhoard: archive:", "exit 1", "exit 2", "exit 3", "exit 130"}},
      {"Ctrl-C at random moments", [] {}, "", false, {0, 130}, {}, {"error", "cannot", "failed:"}},
  };
  std::mt19937 random(11);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(archive);
    c.prepare();
    const auto cache_before = testing::FilesOutside(dir_.File("sites"), "");
    std::vector<Outcome> outcomes;
    if (c.script.empty()) {
      // Ctrl-C while the cache is read, while copying, while indexing.
      for (int round = 0; round < 4; ++round) {
        const int delay_ms = static_cast<int>(random() % 400);
        outcomes.push_back(Shell(command + " & pid=$!; sleep " + std::to_string(delay_ms / 1000.0) +
                                 "; kill -INT $pid; wait $pid"));
        const Outcome& o = outcomes.back();
        if (o.status == 130 && o.err.find("interrupted;") != std::string::npos) {
          EXPECT_NE(o.err.find("remain: run the same command again to finish them"),
                    std::string::npos)
              << o.err;
        }
        EXPECT_EQ(testing::ArchiveInconsistencies(archive), std::vector<std::string>{});
      }
    } else {
      outcomes.push_back(Shell(c.script, c.obey_permissions));
    }
    for (const Outcome& o : outcomes) {
      EXPECT_NE(std::find(c.statuses.begin(), c.statuses.end(), o.status), c.statuses.end())
          << o.status << "\n"
          << o.err;
      for (const std::string& text : c.said)
        EXPECT_NE(o.err.find(text), std::string::npos) << text << "\n" << o.err;
      for (const std::string& text : c.not_said)
        EXPECT_EQ(o.err.find(text), std::string::npos) << text << "\n" << o.err;
    }
    if (DirectoryExists(archive)) ::chmod(archive.c_str(), 0755);
    ::chmod(unreadable_page.c_str(), 0644);
    ::chmod(unreadable_image.c_str(), 0644);
    EXPECT_EQ(testing::FilesOutside(dir_.File("sites"), ""), cache_before);
    EXPECT_EQ(testing::ArchiveInconsistencies(archive), std::vector<std::string>{});
    if (c.script.empty() == false && c.statuses != std::vector<int>{2}) {
      EXPECT_EQ(testing::BrokenLocalLinks(archive), std::vector<std::string>{});
    }

    const Outcome again = Shell(command);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.err.find("archive holds " + std::to_string(2 * kSites * kPages) + " items of " +
                             std::to_string(kSites) + " sites"),
              std::string::npos)
        << again.err;
    EXPECT_EQ(testing::ArchiveInconsistencies(archive), std::vector<std::string>{});
    EXPECT_EQ(testing::BrokenLocalLinks(archive), std::vector<std::string>{});
    for (const auto& entry : std::filesystem::recursive_directory_iterator(archive)) {
      EXPECT_EQ(entry.path().filename().string().find("(1)"), std::string::npos) << entry.path();
    }
  }
  EXPECT_NE(Run("archive --help").out.find("status is 3"), std::string::npos);
}
#endif

TEST_F(CommandLine, OptionsFollowTheUsualConventions) {
  const std::string index = MakeCache();
  struct Row {
    std::string arguments;
    int status;
    std::string out;  // a part of stdout
    std::string err;  // a part of stderr
  };
  const Row rows[] = {
      {"-V", 0, "webhoard ", ""},
      {"-h", 0, "Exit status:", ""},
      {"help catalog", 0, "usage: webhoard catalog", ""},
      {"catalog -h", 0, "usage: webhoard catalog", ""},
      {"help frobnicate", 1, "", "webhoard: help: unknown command frobnicate"},
      {"--bogus", 1, "", "webhoard: unknown option --bogus"},
      {"list --netscape " + index + " --netscape " + index, 1, "",
       "webhoard: list: --netscape given twice (see webhoard list --help)\n"},
      {"list --netscape " + index + " --domain a.com --domain b.com", 0, "", ""},
      {"list --netscape " + index + " --quiet --progress", 1, "", "not both"},
      {"list --netscape " + index + " --yes", 1, "", "webhoard: list: unknown option --yes"},
      {"catalog -x", 1, "", "webhoard: catalog: unknown option -x"},
      {"catalog -- -x", 2, "", "webhoard: catalog: -x: no such folder\n"},
  };
  for (const Row& row : rows) {
    const Outcome outcome = Run(row.arguments);
    EXPECT_EQ(outcome.status, row.status) << row.arguments << "\n" << outcome.err;
    EXPECT_NE(outcome.out.find(row.out), std::string::npos) << row.arguments << "\n" << outcome.out;
    EXPECT_NE(outcome.err.find(row.err), std::string::npos) << row.arguments << "\n" << outcome.err;
  }
}

TEST_F(CommandLine, JsonLinesCarryEveryField) {
  const std::string index = MakeCache();
  // A title with UTF-8, a byte that is no UTF-8, and a quote.
  dir_.Write("cache/A.MOZ", "<html><title>Caf\xC3\xA9 \xFF \"x\"</title> needle</html>");
  const std::string archive = dir_.File("archive");
  ASSERT_EQ(Run("archive --netscape " + index + " --to " + archive + " --yes").status, 0);
  const std::vector<std::string> item_keys = {"category", "category_name", "date",
                                              "file",     "mime_index",    "mime_type",
                                              "site",     "size",          "url"};
  std::vector<std::string> record_keys = item_keys;
  record_keys.insert(record_keys.end(), {"archive_name", "title"});
  std::sort(record_keys.begin(), record_keys.end());
  struct Row {
    std::string arguments;
    std::size_t lines;
    const std::vector<std::string>& keys;
  };
  const Row rows[] = {
      {"list --netscape " + index + " --json", 4, item_keys},
      {"catalog " + archive + " --json", 4, record_keys},
      {"search " + archive + " --text needle --json", 1, record_keys},
  };
  for (const Row& row : rows) {
    const Outcome outcome = Run(row.arguments);
    ASSERT_EQ(outcome.status, 0) << row.arguments << "\n" << outcome.err;
    const auto objects = JsonLines(outcome.out);
    ASSERT_EQ(objects.size(), row.lines) << row.arguments << "\n" << outcome.out;
    for (const auto& object : objects) {
      std::vector<std::string> keys;
      for (const auto& field : object) keys.push_back(field.first);
      EXPECT_EQ(keys, row.keys) << row.arguments;
      EXPECT_TRUE(IsIsoDateWithOffset(object.at("date"))) << object.at("date");
      EXPECT_EQ(ReadFileBytes(object.at("file")).value_or("").size(),
                std::stoull(object.at("size")));
    }
    const auto& first = objects.front();
    EXPECT_EQ(first.at("url"), "http://www.site.com:80/") << row.arguments;
    EXPECT_EQ(first.at("site"), "www.site.com");
    EXPECT_EQ(first.at("mime_type"), "text/html");
    EXPECT_EQ(first.at("category_name"), "text");
    if (first.count("title") != 0) {
      EXPECT_EQ(first.at("title"), "Caf\xC3\xA9 \xFF \"x\"");
    }
  }
}

#ifndef _WIN32  // a cross build does not write them
TEST_F(CommandLine, ManPageAndCompletionNameEveryOptionOfTheHelp) {
  const std::string man = Run("--print-man").out;
  const std::string completion = Run("--print-completion bash").out;
  EXPECT_EQ(ReadFileBytes(WEBHOARD_MAN_PAGE), man);  // the build wrote them
  EXPECT_EQ(ReadFileBytes(WEBHOARD_COMPLETION), completion);
  for (const char* command :
       {"", "list", "archive", "delete", "search", "reindex", "catalog", "settings"}) {
    const std::string help = Run(std::string(command) + " --help").out;
    EXPECT_NE(man.find(std::string(".SS ") + command), std::string::npos) << command;
    for (const std::string& named : LongOptionsIn(help)) {
      std::string roff = named;
      for (std::size_t at = 0; (at = roff.find('-', at)) != std::string::npos; at += 2)
        roff.insert(at, "\\");
      EXPECT_NE(man.find(roff), std::string::npos) << command << " " << named;
      EXPECT_NE(completion.find(named), std::string::npos) << command << " " << named;
    }
  }
  const Outcome rendered =
      Shell(std::string("command -v man >/dev/null || exit 0; MANWIDTH=80 man --warnings -l ") +
            WEBHOARD_MAN_PAGE + " >/dev/null");
  EXPECT_EQ(rendered.status, 0);
  EXPECT_EQ(rendered.err, "");
  const std::string script = dir_.Write(
      "complete.sh",
      std::string(". ") + WEBHOARD_COMPLETION +
          "\nCOMP_WORDS=(webhoard archive --emph); COMP_CWORD=2; _webhoard\n"
          "echo \"${COMPREPLY[*]}\"\nCOMP_WORDS=(webhoard archive --types m); COMP_CWORD=3\n"
          "_webhoard; echo \"${COMPREPLY[*]}\"\n");
  const Outcome completes = Shell("bash " + script);
  EXPECT_EQ(completes.out, "--emphasize\nmedia media,other\n") << completes.err;
}
#endif

TEST_F(CommandLine, ListsTheRealNavigatorSample) {
  const std::string index = testing::SharedSample("netscape/dt2011-nav3-linux/cache/index.db");
  if (index.empty()) return;
  const Outcome sample = Run("list --netscape " + index);
  ASSERT_EQ(sample.status, 0) << sample.err;
  EXPECT_EQ(Lines(sample.out), 3u);
  EXPECT_NE(sample.out.find("http://home.netscape.com:80/images/showcase.gif"), std::string::npos);
}

#ifndef _WIN32  // on Windows the program writes the user's real registry
TEST_F(CommandLine, StoresSettingsAndShowsThoseInEffect) {
  EXPECT_EQ(Run("settings 'Export to disk properties' 'Strikeout links' 0").status, 0);
  const std::string shown = Run("settings").out;
  EXPECT_NE(shown.find("Export to disk properties\tStrikeout links\t0\n"), std::string::npos);
  EXPECT_NE(shown.find("Export to disk properties\tDetailed index\t1\tdefault\n"),
            std::string::npos)
      << shown;
  const std::pair<std::string, std::string> refused[] = {
      {"'Strikeout links' yes", "is a flag: it takes 0 or 1, not \"yes\""},
      {"'Emphasize Type' 7", "takes 0 (bold), 1 (italic), 2 (larger) or 3"},
      {"'Strikeout link' 1", "no setting"},
  };
  for (const auto& [words, said] : refused) {
    const Outcome outcome = Run("settings 'Export to disk properties' " + words);
    EXPECT_EQ(outcome.status, 1) << words;
    EXPECT_NE(outcome.err.find("webhoard: settings: "), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find(said), std::string::npos) << outcome.err;
  }
  EXPECT_NE(Run("settings").out.find("Export to disk properties\tStrikeout links\t0\n"),
            std::string::npos);
}
#endif

}  // namespace
}  // namespace webhoard
