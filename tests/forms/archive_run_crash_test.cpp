// A run killed at any moment never costs the archive a record it had.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>

#include "archive/archive_info_file.h"
#include "archive_run_fixture.h"

namespace webhoard {
namespace {

using testing::ArchiveRunFixture;

TEST(ArchiveRunCrashSafety, KilledRunsNeverLoseEarlierRecords) {
  ArchiveRunFixture f;
  for (int i = 0; i < 40; ++i) {
    f.AddItem("http://old.com:80/" + std::to_string(i) + ".gif", 2, "old");
  }
  f.Run();
  std::set<std::string> before;
  {
    TakenNames taken;
    ArchiveList list = LoadArchiveList(f.settings.current_archive_folder, taken);
    for (const auto& item : list.items()) before.insert(item->URL);
  }
  ASSERT_EQ(before.size(), 40u);

  std::mt19937 random(7);
  for (int round = 0; round < 16; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ArchiveRunFixture g;
      g.settings = f.settings;
      for (int i = 0; i < 60; ++i) {
        g.AddItem("http://new.com:80/" + std::to_string(round) + "-" + std::to_string(i) + ".gif",
                  2, "new");
        g.AddItem("http://old.com:80/" + std::to_string(i % 40) + ".gif", 2, "replaced");
      }
      g.Run();
      _exit(0);
    }
    // Kill points spread from the start of the run to past its end.
    usleep(static_cast<useconds_t>(random() % 900000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    TakenNames taken;
    ArchiveList list = LoadArchiveList(f.settings.current_archive_folder, taken);
    EXPECT_FALSE(list.load_report().damaged) << "round " << round << ": " << list.load_report().damage;
    std::set<std::string> after;
    for (const auto& item : list.items()) after.insert(item->URL);
    for (const std::string& url : before) {
      ASSERT_TRUE(after.count(url)) << "round " << round << " lost " << url;
    }
  }
}

}  // namespace
}  // namespace webhoard
