#include "platform/folder_lock.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::TempDir;

TEST(FolderLock, OneHolderAtATimeAndReleasedWhenLetGo) {
  TempDir archive;
  const std::string lock_path = archive.File("archive.lck");
  FolderLock first;
  FolderLock second;
  ASSERT_EQ(first.TryLock(lock_path), FolderLockOutcome::kLocked);
  EXPECT_TRUE(first.locked());
  EXPECT_EQ(second.TryLock(lock_path), FolderLockOutcome::kBusy);
  EXPECT_FALSE(second.locked());
  first.Unlock();
  EXPECT_EQ(second.TryLock(lock_path), FolderLockOutcome::kLocked);
  FolderLock moved = std::move(second);
  EXPECT_TRUE(moved.locked());
  EXPECT_FALSE(second.locked());  // NOLINT(bugprone-use-after-move): moved-from state
  EXPECT_EQ(first.TryLock(lock_path), FolderLockOutcome::kBusy);
  { FolderLock gone = std::move(moved); }  // the destructor lets go
  EXPECT_EQ(first.TryLock(lock_path), FolderLockOutcome::kLocked);
}

TEST(FolderLock, AFolderThatCannotHoldTheLockFileIsAFailureWithItsReason) {
  TempDir archive;
  const std::string lock_path = archive.File("missing/archive.lck");
  FolderLock lock;
  std::string error;
  EXPECT_EQ(lock.TryLock(lock_path, &error), FolderLockOutcome::kFailed);
  EXPECT_FALSE(lock.locked());
  EXPECT_NE(error.find(lock_path), std::string::npos) << error;
}

}  // namespace
}  // namespace webhoard
