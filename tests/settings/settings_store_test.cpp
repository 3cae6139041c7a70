// The settings store: the encodings of texts, numbers and flags, their
// defaults, and the store over the real file registry shared by processes.
#include "settings/settings_store.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "common/file_util.h"
#include "platform/file_registry.h"
#include "support/memory_registry.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::MemoryRegistry;
using testing::TempDir;

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr std::string_view kSection = "Export to disk properties";
const std::string kSectionPath = std::string(kSettingsKeyPath) + "\\" + std::string(kSection);

TEST(SettingNumber, DecimalAndHexadecimalTexts) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> number;
  } cases[] = {
      {"0", 0},
      {"12", 12},
      {"-5", -5},
      {"+7", 7},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},  // beyond 32 bits: the default, never a wrapped value
      {"-2147483649", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"0x2", 2},
      {"0X1f", 31},
      {"0x7FFFFFFF", 2147483647},
      {"0x80000000", INT32_MIN},  // hexadecimal spells the 32-bit pattern
      {"0xFFFFFFFF", -1},
      {"0x00000000000000ff", 255},
      {"0x100000000", std::nullopt},
      {"0x", std::nullopt},  // two characters: read as decimal, which fails
      {"0x-5", std::nullopt},
      {"-0x5", std::nullopt},
      {"0xg", std::nullopt},
      {"", std::nullopt},
      {"abc", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"1.5", std::nullopt},
      {"-", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSettingNumber(c.text), c.number) << c.text;
}

TEST(SettingsStore, ReadingCreatesNothingAndTheFirstWriteCreatesTheKey) {
  MemoryRegistry registry;
  SettingsStore store(registry);
  EXPECT_EQ(store.ReadSettingText(kSection, "Default directory", "D"), "D");
  EXPECT_FALSE(registry.KeyExists(kUser, "Software\\Tarnwell\\Webhoard"));
  ASSERT_TRUE(store.WriteSettingText(kSection, "Default directory", "E"));
  EXPECT_TRUE(registry.KeyExists(kUser, "Software\\Tarnwell\\Webhoard"));
}

TEST(SettingsStore, TextsReadTheirDefaultOnlyWhenAbsent) {
  MemoryRegistry registry;
  SettingsStore store(registry);
  EXPECT_EQ(store.ReadSettingText("No section", "x", "fallback"), "fallback");
  ASSERT_TRUE(store.WriteSettingText(kSection, "Default directory", ""));
  EXPECT_EQ(store.ReadSettingText(kSection, "Default directory", "fallback"), "");
  EXPECT_EQ(store.ReadSettingText("EXPORT TO DISK PROPERTIES", "default DIRECTORY", "fb"), "");
  EXPECT_EQ(store.ReadSettingText(kSection, "Other", "fallback"), "fallback");
  // A value of another type than a string reads as absent.
  registry.WriteOther(kUser, kSectionPath, "Typed", "dword:00000003");
  EXPECT_EQ(store.ReadSettingText(kSection, "Typed", "fallback"), "fallback");
  EXPECT_EQ(store.ReadSettingNumber(kSection, "Typed", 9), 9);
}

TEST(SettingsStore, NumbersAndFlagsAreStoredAsText) {
  MemoryRegistry registry;
  SettingsStore store(registry);
  ASSERT_TRUE(store.WriteSettingNumber(kSection, "Emphasize Type", -3));
  ASSERT_TRUE(store.WriteSettingFlag(kSection, "Detailed index", true));
  ASSERT_TRUE(store.WriteSettingFlag(kSection, "Emphasize links", false));
  EXPECT_EQ(registry.ReadString(kUser, kSectionPath, "Emphasize Type"), "-3");
  EXPECT_EQ(registry.ReadString(kUser, kSectionPath, "Detailed index"), "1");
  EXPECT_EQ(registry.ReadString(kUser, kSectionPath, "Emphasize links"), "0");
  EXPECT_EQ(store.ReadSettingNumber(kSection, "Emphasize Type", 0), -3);
  EXPECT_TRUE(store.ReadSettingFlag(kSection, "Detailed index", false));
  EXPECT_FALSE(store.ReadSettingFlag(kSection, "Emphasize links", true));
}

TEST(SettingsStore, StoredTextsThatAreNoNumbersReadAsTheDefault) {
  MemoryRegistry registry;
  SettingsStore store(registry);
  const auto stored = [&](const char* text) {
    EXPECT_TRUE(registry.WriteString(kUser, kSectionPath, "v", text));
  };
  stored("0x2");
  EXPECT_EQ(store.ReadSettingNumber(kSection, "v", 7), 2);
  stored("abc");
  EXPECT_EQ(store.ReadSettingNumber(kSection, "v", 7), 7);
  stored("5");
  EXPECT_TRUE(store.ReadSettingFlag(kSection, "v", false));
  stored("");
  EXPECT_TRUE(store.ReadSettingFlag(kSection, "v", true));
  EXPECT_FALSE(store.ReadSettingFlag(kSection, "v", false));
  stored("0x0");
  EXPECT_FALSE(store.ReadSettingFlag(kSection, "v", true));
  EXPECT_EQ(store.ReadSettingNumber(kSection, "missing", -1), -1);
}

TEST(SettingsStore, AStoreThatCannotBeWrittenStillReadsDefaults) {
  MemoryRegistry registry;
  registry.set_read_only(true);
  SettingsStore store(registry);
  EXPECT_FALSE(store.WriteSettingText(kSection, "Default directory", "x"));
  EXPECT_FALSE(store.WriteSettingFlag(kSection, "Detailed index", false));
  EXPECT_EQ(store.ReadSettingText(kSection, "Default directory", "d"), "d");
  EXPECT_TRUE(store.ReadSettingFlag(kSection, "Detailed index", true));
}

#ifndef _WIN32  // fork
TEST(SettingsStore, SettingsWrittenByOneProcessAreReadByAnother) {
  TempDir dir;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileRegistry registry(dir.path());
    SettingsStore store(registry);
    const bool ok = store.WriteSettingText(kSection, "Default directory", "/srv/archive/") &&
                    store.WriteSettingNumber(kSection, "Emphasize Type", 2) &&
                    store.WriteSettingFlag(kSection, "Detailed index", false);
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  FileRegistry registry(dir.path());
  SettingsStore store(registry);
  EXPECT_EQ(store.ReadSettingText(kSection, "Default directory", ""), "/srv/archive/");
  EXPECT_EQ(store.ReadSettingNumber(kSection, "Emphasize Type", 0), 2);
  EXPECT_FALSE(store.ReadSettingFlag(kSection, "Detailed index", true));
}
#endif

TEST(SettingsStore, ADamagedRegistryFileIsKeptAsideAndReadsAsDefaults) {
  TempDir dir;
  const std::string damaged = std::string("REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Tarnwell\\") +
                              "Webhoard\\Export to disk properties]\r\n\"Default directory\"=\"/a";
  dir.Write("HKEY_CURRENT_USER.reg", damaged);
  FileRegistry registry(dir.path());
  SettingsStore store(registry);
  EXPECT_EQ(store.ReadSettingText(kSection, "Default directory", "default"), "default");
  EXPECT_EQ(ReadFileBytes(registry.FilePath(kUser)), damaged);  // reading changes nothing
  ASSERT_TRUE(store.WriteSettingText(kSection, "Default directory", "/b/"));
  EXPECT_EQ(store.ReadSettingText(kSection, "Default directory", "default"), "/b/");
  EXPECT_EQ(ReadFileBytes(registry.FilePath(kUser) + ".damaged"), damaged);
}

}  // namespace
}  // namespace webhoard
