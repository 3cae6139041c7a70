// One suite of behaviours that every registry store must show, run against
// the file store, the in-memory store of the tests and, on Windows, the
// system's registry.
#include <gtest/gtest.h>

#include <memory>

#include "platform/file_registry.h"
#include "platform/registry.h"
#include "support/memory_registry.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::MemoryRegistry;
using testing::TempDir;

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;

struct FileStore {
  TempDir dir;
  FileRegistry registry{dir.path() + "/config"};
};

struct MemoryStore {
  MemoryRegistry registry;
};

template <typename Store>
class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    // Never let the suite loose on the user's real registry.
    if constexpr (requires { store_.sandbox; }) {
      ASSERT_TRUE(store_.sandbox.ready());
    }
  }
  Store store_;
  Registry& registry() { return store_.registry; }
};

#ifdef _WIN32
struct SystemStore {
  testing::RegistrySandbox sandbox;
  Registry& registry = SystemRegistry();
};
using Stores = ::testing::Types<FileStore, MemoryStore, SystemStore>;
#else
using Stores = ::testing::Types<FileStore, MemoryStore>;
#endif
TYPED_TEST_SUITE(RegistryContract, Stores);

TYPED_TEST(RegistryContract, MissingKeysAndValuesReadAsAbsent) {
  Registry& r = this->registry();
  EXPECT_TRUE(r.KeyExists(kUser, ""));  // a root always exists
  EXPECT_FALSE(r.KeyExists(kUser, "Software"));
  EXPECT_FALSE(r.ReadString(kUser, "Software", "Name"));
  EXPECT_FALSE(RegistryKey::Open(r, kUser, "Software\\Tarnwell"));
  ASSERT_TRUE(r.CreateKey(kUser, "Software"));
  EXPECT_FALSE(r.ReadString(kUser, "Software", "Name"));
  EXPECT_FALSE(r.ReadString(kUser, "Software", ""));
}

TYPED_TEST(RegistryContract, CreatingAKeyCreatesTheKeysAboveIt) {
  Registry& r = this->registry();
  ASSERT_TRUE(RegistryKey::Create(r, kUser, "Software\\Tarnwell\\Webhoard"));
  EXPECT_TRUE(r.KeyExists(kUser, "Software"));
  EXPECT_TRUE(r.KeyExists(kUser, "Software\\Tarnwell"));
  EXPECT_TRUE(r.KeyExists(kUser, "Software\\Tarnwell\\Webhoard"));
  EXPECT_FALSE(r.KeyExists(kUser, "Software\\Tarn"));  // a prefix of a name is no key
  EXPECT_FALSE(r.KeyExists(kMachine, "Software"));     // roots are apart
}

TYPED_TEST(RegistryContract, WritesReadBackUnderAnySpellingOfTheNames) {
  Registry& r = this->registry();
  ASSERT_TRUE(r.WriteString(kUser, "Software\\Tarnwell", "Default directory", "C:\\A\\"));
  EXPECT_EQ(r.ReadString(kUser, "SOFTWARE\\tarnwell", "DEFAULT DIRECTORY"), "C:\\A\\");
  ASSERT_TRUE(r.WriteString(kUser, "software\\TARNWELL", "default Directory", "D:\\"));
  EXPECT_EQ(r.ReadString(kUser, "Software\\Tarnwell", "Default directory"), "D:\\");
  EXPECT_FALSE(r.ReadString(kMachine, "Software\\Tarnwell", "Default directory"));
}

TYPED_TEST(RegistryContract, StringsOfEveryKindSurviveTheStore) {
  Registry& r = this->registry();
  const std::string texts[] = {
      "",
      "FONT FACE=\"Arial\"",
      "C:\\Program Files\\Netscape\\Users\\",
      "\\\\server\\share\\\"quoted\\\"",
      "line one\r\nline two\n",
      std::string("nul\0inside", 10),
      "\xE4\xF6\xFC high bytes \x80\xFF",
      "ends in backslash\\",
      "  spaces around  ",
      "=[looks like]=\"a\"=\"line\"",
      std::string(3000, 'x'),
  };
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    ASSERT_TRUE(r.WriteString(kUser, "Software\\Values", "v" + std::to_string(i), texts[i]));
  }
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    EXPECT_EQ(r.ReadString(kUser, "Software\\Values", "v" + std::to_string(i)), texts[i]) << i;
  }
}

TYPED_TEST(RegistryContract, NamesWithQuotesAndTheDefaultValueAreDistinct) {
  Registry& r = this->registry();
  ASSERT_TRUE(r.WriteString(kUser, "K", "", "default"));
  ASSERT_TRUE(r.WriteString(kUser, "K", "@", "at sign"));
  ASSERT_TRUE(r.WriteString(kUser, "K", "a \"quoted\" \\name", "odd name"));
  EXPECT_EQ(r.ReadString(kUser, "K", ""), "default");
  EXPECT_EQ(r.ReadString(kUser, "K", "@"), "at sign");
  EXPECT_EQ(r.ReadString(kUser, "K", "A \"QUOTED\" \\NAME"), "odd name");
}

TYPED_TEST(RegistryContract, SubKeysOpenForOneAccess) {
  Registry& r = this->registry();
  const auto settings = RegistryKey::Create(r, kUser, "Software\\Tarnwell\\Webhoard");
  ASSERT_TRUE(settings);
  EXPECT_FALSE(settings->OpenSubKey("General"));
  const auto general = settings->CreateSubKey("General");
  ASSERT_TRUE(general);
  ASSERT_TRUE(general->WriteString("Reindex directory", "/x/"));
  const auto again = settings->OpenSubKey("GENERAL");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->ReadString("reindex directory"), "/x/");
  EXPECT_EQ(r.ReadString(kUser, "Software\\Tarnwell\\Webhoard\\General", "Reindex directory"),
            "/x/");
}

TYPED_TEST(RegistryContract, PathsWithAnEmptyNameAreRefused) {
  Registry& r = this->registry();
  EXPECT_FALSE(r.CreateKey(kUser, "Software\\\\Tarnwell"));
  EXPECT_FALSE(r.WriteString(kUser, "Software\\\\Tarnwell", "x", "y"));
  EXPECT_FALSE(r.KeyExists(kUser, "Software"));
  // Leading and trailing separators are tidied away.
  ASSERT_TRUE(r.WriteString(kUser, "\\Software\\Tarnwell\\", "x", "y"));
  EXPECT_EQ(r.ReadString(kUser, "Software\\Tarnwell", "x"), "y");
}

}  // namespace
}  // namespace webhoard
