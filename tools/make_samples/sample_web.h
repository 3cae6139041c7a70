// The small web the bundled sample caches hold: three fictional sites (a
// hiking club, a recipe kitchen, a village museum) whose pages link to each
// other and to pages that were never cached, with pictures, a sound, a PDF,
// a page with a BASE tag and one that refreshes to another.
#pragma once

#include <string>
#include <vector>

namespace webhoard::samples {

struct SampleDocument {
  std::string url;
  std::string mime_type;
  std::string extension;  // of the cached file, with the dot
  std::string body;
  int age_days = 0;  // how long before generation it was last fetched
};

std::vector<SampleDocument> SampleWeb();

}  // namespace webhoard::samples
