// The address inside a Firefox cache key. A key is a list of tags, each a
// single character with an optional value and ended by ",", then ":" and the
// address:
//   O^partitionKey=%28https%2Cexample.org%29,a,~FETCH,:https://example.org/x
// "O" carries origin attributes (partition, container, private browsing id),
// "a" marks an anonymous load (no cookies), "p" private browsing, "~" an id
// (a POST body's, or a name such as "predictor-origin"); a "," inside a value
// is written ",,". Old keys have no tags (":http://...").
//
// Anonymous and private entries are still pages: the tags change who may
// see the response, not what it is. Entries of different partitions may
// share an address; each is its own entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

// The http or https address of `key`; nullopt when the tag list never ends
// in ":" or the address is of another kind (about:, data:, moz-extension:).
std::optional<std::string> FirefoxKeyUrl(std::string_view key);

}  // namespace webhoard
