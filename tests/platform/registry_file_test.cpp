// The file store: where its files live, what they look like, that a write
// never loses a value (not even one written by another process at the same
// moment) and that a damaged file is kept aside rather than overwritten.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>

#include "common/file_util.h"
#include "platform/file_registry.h"
#include "support/environment.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::TempDir;
constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;

// Sets an environment variable for one scope, restoring the old state.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      testing::SetEnvironment(name, value);
    } else {
      testing::SetEnvironment(name, nullptr);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      testing::SetEnvironment(name_, old_->c_str());
    } else {
      testing::SetEnvironment(name_, nullptr);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::string Read(const std::string& path) {
  return ReadFileBytes(path).value_or("<missing>");
}

TEST(RegistryFileStore, FolderComesFromTheEnvironment) {
  ScopedEnv home("HOME", "/home/someone");
  ScopedEnv app_data("APPDATA", "C:\\Users\\someone\\AppData\\Roaming");
  {
    ScopedEnv config("WEBHOARD_CONFIG_DIR", "/etc/wh/");
    ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg");
    EXPECT_EQ(RegistryFolder(), "/etc/wh");
  }
  ScopedEnv config("WEBHOARD_CONFIG_DIR", nullptr);
#ifdef _WIN32
  EXPECT_EQ(RegistryFolder(), "C:\\Users\\someone\\AppData\\Roaming\\webhoard");
#else
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg");
    EXPECT_EQ(RegistryFolder(), "/xdg/webhoard");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(RegistryFolder(), "/home/someone/.config/webhoard");
  }
#endif
}

TEST(RegistryFileStore, OneReadableFilePerRoot) {
  TempDir dir;
  FileRegistry registry(dir.File("config/webhoard"));
  ASSERT_TRUE(registry.WriteString(kUser, "Software\\Tarnwell\\Webhoard\\General",
                                   "Reindex directory", "C:\\Archive\\"));
  ASSERT_TRUE(registry.WriteString(kMachine, "Software\\Netscape", "x", "y"));
  EXPECT_EQ(Read(dir.File("config/webhoard/HKEY_CURRENT_USER.reg")),
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Tarnwell\\Webhoard\\General]\r\n"
            "\"Reindex directory\"=\"C:\\\\Archive\\\\\"\r\n\r\n");
  EXPECT_EQ(Read(dir.File("config/webhoard/HKEY_LOCAL_MACHINE.reg")),
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Netscape]\r\n\"x\"=\"y\"\r\n\r\n");
  // No temporary file is left behind.
  EXPECT_FALSE(FileExists(dir.File("config/webhoard/HKEY_CURRENT_USER.reg.tmp")));
}

TEST(RegistryFileStore, ImportedKeysAreReadAndKeptThroughWrites) {
  TempDir dir;
  const std::string imported =
      "REGEDIT4\n\n; from the old PC\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Netscape\\Netscape Navigator\\Users]\n"
      "\"CurrentUser\"=\"jo\"\n\"Count\"=dword:00000002\n";
  dir.Write("HKEY_LOCAL_MACHINE.reg", imported);
  FileRegistry registry(dir.path());
  EXPECT_EQ(
      registry.ReadString(kMachine, "Software\\Netscape\\Netscape Navigator\\Users", "currentuser"),
      "jo");
  EXPECT_FALSE(
      registry.ReadString(kMachine, "Software\\Netscape\\Netscape Navigator\\Users", "Count"));
  ASSERT_TRUE(registry.WriteString(kMachine, "Software\\Netscape\\Netscape Navigator\\Users\\jo",
                                   "DirRoot", "C:\\Profiles\\jo"));
  EXPECT_EQ(Read(dir.File("HKEY_LOCAL_MACHINE.reg")),
            "REGEDIT4\n; from the old PC\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Netscape\\Netscape Navigator\\Users]\n"
            "\"CurrentUser\"=\"jo\"\n\"Count\"=dword:00000002\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Netscape\\Netscape Navigator\\Users\\jo]\n"
            "\"DirRoot\"=\"C:\\\\Profiles\\\\jo\"\n\n");
}

TEST(RegistryFileStore, ADamagedFileReadsAsEmptyAndIsKeptAsideNeverOverwritten) {
  TempDir dir;
  FileRegistry registry(dir.path());
  const std::string path = registry.FilePath(kUser);
  const std::string garbage = "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software]\r\n\"a\"=\"cut sh";
  dir.Write("HKEY_CURRENT_USER.reg", garbage);
  EXPECT_FALSE(registry.KeyExists(kUser, "Software"));
  EXPECT_FALSE(registry.ReadString(kUser, "Software", "a"));
  // Reading alone changes nothing.
  EXPECT_EQ(Read(path), garbage);
  EXPECT_FALSE(FileExists(path + ".damaged"));

  ASSERT_TRUE(registry.WriteString(kUser, "Software", "b", "new"));
  EXPECT_EQ(Read(path + ".damaged"), garbage);
  EXPECT_EQ(registry.ReadString(kUser, "Software", "b"), "new");

  // A second damage is kept under a new name; the first copy stays as it was.
  dir.Write("HKEY_CURRENT_USER.reg", "second damage");
  ASSERT_TRUE(registry.CreateKey(kUser, "Other"));
  EXPECT_EQ(Read(path + ".damaged"), garbage);
  EXPECT_EQ(Read(path + ".damaged.1"), "second damage");
  EXPECT_TRUE(registry.KeyExists(kUser, "Other"));
}

TEST(RegistryFileStore, UnreadableAndOversizedFilesAreKeptAsideToo) {
  TempDir dir;
  FileRegistry registry(dir.path());
  const std::string path = registry.FilePath(kUser);
  // Something that is not a file at all stands where the file should be.
  std::filesystem::create_directories(path + "/inside");
  EXPECT_FALSE(registry.ReadString(kUser, "K", "v"));
  ASSERT_TRUE(registry.WriteString(kUser, "K", "v", "1"));
  EXPECT_TRUE(DirectoryExists(path + ".damaged/inside"));
  EXPECT_EQ(registry.ReadString(kUser, "K", "v"), "1");

  // A file far larger than any settings file is not read into memory.
  const std::string machine = registry.FilePath(kMachine);
  {
    dir.Write("HKEY_LOCAL_MACHINE.reg", "REGEDIT4\r\n");
    std::filesystem::resize_file(machine, kMaxRegistryFileBytes + 1);
  }
  EXPECT_FALSE(registry.KeyExists(kMachine, "K"));
  ASSERT_TRUE(registry.WriteString(kMachine, "K", "v", "2"));
  EXPECT_EQ(FileSize(machine + ".damaged"), kMaxRegistryFileBytes + 1);
  EXPECT_EQ(registry.ReadString(kMachine, "K", "v"), "2");
}

TEST(RegistryFileStore, AWriteThatCannotBeStoredReportsFailure) {
  TempDir dir;
  dir.Write("plain-file", "x");
  FileRegistry registry(dir.File("plain-file/config"));
  EXPECT_FALSE(registry.WriteString(kUser, "K", "v", "1"));
  EXPECT_FALSE(registry.CreateKey(kUser, "K"));
  EXPECT_FALSE(registry.ReadString(kUser, "K", "v"));
}

#ifndef _WIN32  // fork
TEST(RegistryFileStore, AnotherProcessSeesEveryWrite) {
  TempDir dir;
  FileRegistry parent(dir.path());
  ASSERT_TRUE(parent.WriteString(kUser, "K", "from parent", "1"));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileRegistry mine(dir.path());
    const bool ok = mine.ReadString(kUser, "K", "from parent") == std::optional<std::string>("1") &&
                    mine.WriteString(kUser, "K", "from child", "2");
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(parent.ReadString(kUser, "K", "from child"), "2");
}
#endif

#ifndef _WIN32  // fork
TEST(RegistryFileStore, ProcessesWritingAtOnceKeepEachOthersValues) {
  TempDir dir;
  constexpr int kProcesses = 4;
  constexpr int kValues = 40;
  pid_t children[kProcesses];
  for (int p = 0; p < kProcesses; ++p) {
    children[p] = ::fork();
    ASSERT_GE(children[p], 0);
    if (children[p] == 0) {
      FileRegistry registry(dir.path());
      bool ok = true;
      for (int v = 0; v < kValues; ++v) {
        ok &= registry.WriteString(kUser, "Software\\Shared",
                                   "p" + std::to_string(p) + "v" + std::to_string(v), "x");
      }
      ::_exit(ok ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  FileRegistry registry(dir.path());
  for (int p = 0; p < kProcesses; ++p) {
    for (int v = 0; v < kValues; ++v) {
      EXPECT_EQ(registry.ReadString(kUser, "Software\\Shared",
                                    "p" + std::to_string(p) + "v" + std::to_string(v)),
                "x");
    }
  }
  EXPECT_FALSE(FileExists(registry.FilePath(kUser) + ".damaged"));
}
#endif

}  // namespace
}  // namespace webhoard
