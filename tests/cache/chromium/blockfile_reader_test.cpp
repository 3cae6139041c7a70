// The blockfile reader over the real 2014 sample (read in place), over
// damaged copies of it, and over small folders written for the cases the
// sample lacks.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cache/chromium/blockfile_reader.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

std::vector<ChromiumEntry> ReadAll(const std::string& folder, std::vector<std::string>& notes) {
  std::vector<ChromiumEntry> entries;
  ReadBlockfileCache(folder, [&](ChromiumEntry&& entry) { entries.push_back(std::move(entry)); },
                     notes);
  return entries;
}

TEST(BlockfileSample, Smoke) {
  const std::string folder = testing::SharedSample("chromium-blockfile-plaso");
  if (folder.empty()) return;
  std::vector<std::string> notes;
  const auto entries = ReadAll(folder, notes);
  EXPECT_EQ(entries.size(), 217u);
  for (const auto& n : notes) std::printf("note: %s\n", n.c_str());
  int info = 0, damaged = 0, dirty = 0, body = 0;
  for (const auto& e : entries) {
    info += e.response_info.has_value();
    damaged += e.damaged;
    dirty += !e.finished;
    body += e.body.has_value();
  }
  std::printf("info %d damaged %d dirty %d body %d first %s\n", info, damaged, dirty, body,
              entries.empty() ? "" : entries[0].key.c_str());
}

}  // namespace
}  // namespace webhoard
