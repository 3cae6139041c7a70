// Archive runs that meet a fault: unreadable and vanishing cached files, a
// read-only archive folder, a full disk, Cancel, runs on one folder at the
// same time. Each faulty run is made in a child process (which may give up
// root's right to ignore permissions, or get a file size limit). Afterwards
// the archive must be sound (archive_checks.h), nothing outside it changed,
// no earlier record lost, and a plain run of the same items must finish the
// job: every item archived once, no numbered duplicates, no broken link.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "archive_run_fixture.h"
#include "common/file_util.h"
#include "support/archive_checks.h"

namespace webhoard {
namespace {

using testing::ArchiveRunFixture;
namespace fs = std::filesystem;

enum class Fault {
  kUnreadable,
  kVanishing,
  kReadOnlyArchive,
  kFullDisk,
  kCancelEarly,
  kCancelLate,
  kConcurrent
};

struct FaultCase {
  const char* name;
  Fault fault;
  std::vector<std::string> said;  // in the run's outcome (see Outcome)
  std::vector<std::string> not_said;
};

constexpr int kPages = 6;
constexpr int kImages = 6;
constexpr int kConcurrentRuns = 4;
constexpr std::size_t kLargeFile = 4000;  // bytes; larger than the full disk's file size limit
constexpr rlim_t kFullDiskLimit = 700;    // bytes: the pages fit, the catalogue does not

// Pages that link to every page and image of their site, and the images.
void AddSite(ArchiveRunFixture& f, const std::string& host) {
  std::string links;
  for (int j = 0; j < kPages; ++j) links += "<a href=\"p" + std::to_string(j) + ".html\">p</a>";
  for (int j = 0; j < kImages; ++j) links += "<img src=\"i" + std::to_string(j) + ".gif\">";
  for (int i = 0; i < kPages; ++i) {
    const std::string page = "<title>P" + std::to_string(i) + "</title>" + links;
    f.AddItem("http://" + host + ":80/p" + std::to_string(i) + ".html", 1, page.c_str());
  }
  for (int i = 0; i < kImages; ++i) {
    f.AddItem("http://" + host + ":80/i" + std::to_string(i) + ".gif", 2, "GIF89a");
  }
}

// An archive made by an earlier clean run (old.com), and the items of the
// faulty run: a new site and old.com again.
struct Scenario {
  ArchiveRunFixture base;
  ArchiveRunFixture f;
  Scenario() {
    base.AddItem("http://old.com:80/", 1, "<title>Old</title><img src=\"a.gif\">");
    base.AddItem("http://old.com:80/a.gif", 2, "GIF89a old");
    base.Run();
    f.settings = base.settings;
    AddSite(f, "new.com");
    f.AddItem("http://old.com:80/", 1, "<title>Old</title><img src=\"a.gif\"> again");
    f.AddItem("http://old.com:80/a.gif", 2, "GIF89a again");
    f.AddItem("http://new.com:80/large.pdf", 67, std::string(kLargeFile, 'x').c_str());
  }
  std::string folder() const { return base.settings.current_archive_folder; }
};

// What the child's run reported, one fact a line ("failed 2", "failure
// cannot read ...: Permission denied", "box Could not save ..."), for the
// parent to look for.
std::string Outcome(const ArchiveRunFixture& f, int modal_result) {
  const ArchiveRunReport& r = f.run->report();
  std::string out = "modal " + std::to_string(modal_result) + "\nstarted " +
                    std::to_string(r.started) + "\ncancelled " + std::to_string(r.cancelled) +
                    "\nsaved " + std::to_string(r.save.ok) + "\nfailed " +
                    std::to_string(r.failed) + "\nremaining " + std::to_string(r.remaining) +
                    "\nremoved " + std::to_string(r.removed) + "\n";
  for (const auto& failure : r.failures) out += "failure " + failure.reason + "\n";
  for (const auto& m : f.prompter.messages()) {
    std::string text = m.text;
    std::replace(text.begin(), text.end(), '\n', ' ');
    out += "box " + text + "\n";
  }
  return out;
}

// Forks, lets `prepare` set the fault up in the child, runs `f` there and
// answers its outcome.
std::string RunInChild(ArchiveRunFixture& f, const std::function<void()>& prepare) {
  testing::TempDir outcome_dir;
  const std::string outcome_file = outcome_dir.File("outcome");
  const pid_t child = ::fork();
  if (child == 0) {
    prepare();
    const int result = f.Run();
    std::ofstream(outcome_file) << Outcome(f, result);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run's child died: " << status;
  return ReadFileBytes(outcome_file).value_or("<no outcome>");
}

void ObeyPermissionsOrDie() {
  if (!testing::ObeyFilePermissions()) ::_exit(3);
}

// Presses Cancel while the copy phase shows its step `step` (0 is the first
// item): that item is still archived, none after it.
void CancelAtCopyStep(ArchiveRunFixture& f, int step) {
  auto seen = std::make_shared<int>(0);
  f.prompter.OnPendingMessages([&f, step, seen] {
    const TExportForm* form = f.run->form();
    // The phase shows 0% first; each step then moves the gauge.
    if (form->Label4.caption == "Archiving files..." && ++*seen == step + 1) {
      const_cast<TExportForm*>(form)->CancelButtonClick();
    }
  });
}

TEST(ArchiveRunFaults, EveryFaultLeavesASoundArchiveThatAPlainRunCompletes) {
  const std::vector<FaultCase> cases = {
      {"unreadable cached files",
       Fault::kUnreadable,
       {"saved 1", "failed 2", "/cache/f1: Permission denied", "/cache/f8: Permission denied",
        "box These items could not be archived:", "box Archiving completed."},
       {}},
      {"cached files vanish during the run",
       Fault::kVanishing,
       {"saved 1", "failed 3", "/cache/f2: No such file or directory",
        "/cache/f9: No such file or directory", "/cache/f14: No such file or directory",
        "box Archiving completed."},
       {}},
      {"read-only archive folder",
       Fault::kReadOnlyArchive,
       {"started 0", "box Could not write to the archive folder.",
        "archive.lck: Permission denied"},
       {"box Archiving completed."}},
      {"full disk",
       Fault::kFullDisk,
       {"saved 0", "File too large", "box Could not save the archive catalogue."},
       {"box Archiving completed.", "removed 0\n"}},
      {"Cancel while files are copied",
       Fault::kCancelEarly,
       {"cancelled 1", "saved 1", "failed 0"},
       {"remaining 0\n", "box"}},
      {"Cancel while pages are written",
       Fault::kCancelLate,
       {"cancelled 1", "saved 1", "remaining 2\n"},
       {"box"}},
      {"runs on one folder at once", Fault::kConcurrent, {"saved 1", "failed 0"}, {"cancelled 1"}},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    Scenario s;
    const std::set<std::string> earlier = testing::CatalogueUrls(s.folder());
    ASSERT_EQ(earlier.size(), 2u);
    const std::string catalogue_before = s.base.Catalogue();
    const auto outside_before = testing::FilesOutside(s.base.dir.path(), s.folder());
    auto cache_before = testing::FilesOutside(s.f.dir.path(), "");
    const auto archive_before = testing::FilesOutside(s.folder(), "");
    std::vector<std::unique_ptr<ArchiveRunFixture>> others;  // the concurrent runs
    std::vector<std::string> outcomes;
    std::set<std::string> vanished;

    switch (c.fault) {
      case Fault::kUnreadable:
        // A page and an image of the new site.
        ::chmod(s.f.cache[0]->LocalFile.c_str(), 0);
        ::chmod(s.f.cache[7]->LocalFile.c_str(), 0);
        outcomes.push_back(RunInChild(s.f, ObeyPermissionsOrDie));
        break;
      case Fault::kVanishing:
        // A page, an image, and old.com's image (whose earlier copy stays).
        for (const int i : {1, 8, 13})
          vanished.insert(s.f.cache[static_cast<std::size_t>(i)]->LocalFile);
        outcomes.push_back(RunInChild(s.f, [&] {
          s.f.prompter.OnPendingMessages([&] {
            if (s.f.run->form()->Label4.caption != "Archiving files...") return;
            for (const std::string& path : vanished) ::unlink(path.c_str());
          });
        }));
        break;
      case Fault::kReadOnlyArchive:
        for (const auto& entry : fs::recursive_directory_iterator(s.folder())) {
          fs::permissions(entry.path(),
                          fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                          fs::perm_options::remove);
        }
        fs::permissions(s.folder(),
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        outcomes.push_back(RunInChild(s.f, ObeyPermissionsOrDie));
        break;
      case Fault::kFullDisk: {
        // Every copy fits but the large file, and the catalogue does not.
        outcomes.push_back(RunInChild(s.f, [] {
          ::signal(SIGXFSZ, SIG_IGN);
          const rlimit limit{kFullDiskLimit, kFullDiskLimit};
          ::setrlimit(RLIMIT_FSIZE, &limit);
        }));
        break;
      }
      case Fault::kCancelEarly:
        outcomes.push_back(RunInChild(s.f, [&] { CancelAtCopyStep(s.f, 3); }));
        break;
      case Fault::kCancelLate:
        outcomes.push_back(RunInChild(s.f, [&] { CancelAtCopyStep(s.f, kPages + kImages); }));
        break;
      case Fault::kConcurrent: {
        std::vector<pid_t> children;
        for (int n = 0; n < kConcurrentRuns; ++n) {
          others.push_back(std::make_unique<ArchiveRunFixture>());
          others.back()->settings = s.base.settings;
          AddSite(*others.back(), "c" + std::to_string(n) + ".com");
        }
        testing::TempDir outcome_dir;
        for (int n = 0; n < kConcurrentRuns; ++n) {
          const pid_t child = ::fork();
          if (child == 0) {
            ArchiveRunFixture& g = *others[static_cast<std::size_t>(n)];
            const int result = g.Run();
            std::ofstream(outcome_dir.File(std::to_string(n))) << Outcome(g, result);
            ::_exit(0);
          }
          children.push_back(child);
        }
        for (const pid_t child : children) ::waitpid(child, nullptr, 0);
        for (int n = 0; n < kConcurrentRuns; ++n) {
          outcomes.push_back(ReadFileBytes(outcome_dir.File(std::to_string(n))).value_or(""));
        }
        break;
      }
    }
    if (c.fault == Fault::kReadOnlyArchive) {
      EXPECT_EQ(testing::FilesOutside(s.folder(), ""), archive_before);
      fs::permissions(s.folder(), fs::perms::owner_all, fs::perm_options::add);
      for (const auto& entry : fs::recursive_directory_iterator(s.folder())) {
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
      }
    }

    for (const std::string& outcome : outcomes) {
      for (const std::string& text : c.said)
        EXPECT_NE(outcome.find(text), std::string::npos) << text << "\n" << outcome;
      for (const std::string& text : c.not_said)
        EXPECT_EQ(outcome.find(text), std::string::npos) << text << "\n" << outcome;
    }
    auto sound = [&](const char* when) {
      SCOPED_TRACE(when);
      EXPECT_EQ(testing::ArchiveInconsistencies(s.folder()), std::vector<std::string>{});
      // Pages written before Cancel may link to pages it kept from being
      // written; the same run again writes them under those names.
      if (c.fault != Fault::kCancelLate || std::string(when) != "after the faulty run") {
        EXPECT_EQ(testing::BrokenLocalLinks(s.folder()), std::vector<std::string>{});
      }
      const std::set<std::string> now = testing::CatalogueUrls(s.folder());
      for (const std::string& url : earlier) EXPECT_TRUE(now.count(url)) << "lost " << url;
      EXPECT_EQ(testing::FilesOutside(s.base.dir.path(), s.folder()), outside_before);
      auto cache_now = testing::FilesOutside(s.f.dir.path(), "");
      auto cache_expected = cache_before;
      for (const std::string& path : vanished) cache_expected.erase(path);
      EXPECT_EQ(cache_now, cache_expected);
    };
    sound("after the faulty run");
    if (c.fault == Fault::kFullDisk) {
      EXPECT_EQ(s.base.Catalogue(), catalogue_before);
    }
    if (c.fault == Fault::kVanishing) {
      EXPECT_EQ(ReadFileBytes(s.base.ArchiveFile("old.com/image/a.gif")).value_or(""),
                "GIF89a old");
    }
    const std::set<std::string> after_fault = testing::CatalogueUrls(s.folder());
    for (const auto& g : others) {
      for (const auto& item : g->cache)
        EXPECT_TRUE(after_fault.count(item->URL)) << "lost " << item->URL;
    }

    // The same items again, without the fault.
    for (const std::string& path : vanished)
      s.f.dir.Write(path.substr(s.f.dir.path().size() + 1), "back");
    vanished.clear();
    ::chmod(s.f.cache[0]->LocalFile.c_str(), 0644);
    ::chmod(s.f.cache[7]->LocalFile.c_str(), 0644);
    cache_before = testing::FilesOutside(s.f.dir.path(), "");
    s.f.prompter = {};
    ASSERT_EQ(s.f.Run(), kModalOk);
    EXPECT_EQ(s.f.run->report().failed, 0u);
    sound("after a plain run");
    const std::set<std::string> finished = testing::CatalogueUrls(s.folder());
    for (const auto& item : s.f.cache) EXPECT_TRUE(finished.count(item->URL)) << item->URL;
    for (const auto& entry : fs::recursive_directory_iterator(s.folder())) {
      EXPECT_EQ(entry.path().filename().string().find("(1)"), std::string::npos) << entry.path();
    }
  }
}

}  // namespace
}  // namespace webhoard
