// The project's own test site (tests/data/browser-site) as the oracle for
// caches that real browsers filled from it: what each address answers
// (routes.tsv) and the file it sends.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "cache/http/stored_response.h"

namespace webhoard::testing {

// Where the site was served when the caches were made.
inline constexpr std::string_view kBrowserSiteOrigin = "http://127.0.0.1:18766";

// Checks every response a reader found in a cache made from the site: its
// address is one the site answers 200 to, its media type and stored encoding
// are the route's, and its body, decoded, is the site's file byte for byte.
// Also checks that every address in `fetched` (path and query) is among the
// responses.
void ExpectResponsesFromBrowserSite(const StoredResponses& read,
                                    const std::set<std::string>& fetched);

}  // namespace webhoard::testing
