// The key under which Chromium's HTTP cache keeps a response. It is not the
// URL: today's keys are "<credential>/<upload id>/" followed, for
// partitioned entries, by "_dk_" (with "s_" or "cn_" for subframes and
// cross-site navigations), the two sites of the isolation key and a space,
// and then the URL; caches older than about 2020 used the bare URL.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

struct ChromiumKey {
  std::string url;              // an http or https address
  std::uint64_t upload_id = 0;  // non-zero for a POST: the response to a form, not a page
};

// The parts of `key`, or nullopt for keys that name no web address: the
// cache's own entries ("Range_..." slices of a partial download, code-cache
// keys), other schemes, and anything that does not follow the grammar.
std::optional<ChromiumKey> ParseChromiumKey(std::string_view key);

}  // namespace webhoard
