#include "archive/srcset.h"

namespace webhoard {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

}  // namespace

std::string RewriteSrcset(std::string_view srcset, const CandidateRewrite& rewrite) {
  std::string out;
  out.reserve(srcset.size());
  std::size_t pos = 0;
  const std::size_t n = srcset.size();
  while (pos < n) {
    // Blanks and commas before a candidate.
    const std::size_t start = pos;
    while (pos < n && (IsBlank(srcset[pos]) || srcset[pos] == ',')) ++pos;
    out.append(srcset.substr(start, pos - start));
    if (pos == n) break;

    // The address runs to the next blank; commas at its end separate it
    // from the next candidate and are not part of it.
    const std::size_t url_start = pos;
    while (pos < n && !IsBlank(srcset[pos])) ++pos;
    std::size_t url_end = pos;
    while (url_end > url_start && srcset[url_end - 1] == ',') --url_end;
    const std::string_view url = srcset.substr(url_start, url_end - url_start);
    const auto replaced = url.empty() ? std::nullopt : rewrite(url);
    out.append(replaced ? std::string_view(*replaced) : url);
    if (url_end < pos) {
      out.append(srcset.substr(url_end, pos - url_end));
      continue;
    }

    // Descriptors up to the next comma outside parentheses.
    const std::size_t descriptors = pos;
    int depth = 0;
    while (pos < n && !(srcset[pos] == ',' && depth == 0)) {
      if (srcset[pos] == '(') ++depth;
      if (srcset[pos] == ')' && depth > 0) --depth;
      ++pos;
    }
    out.append(srcset.substr(descriptors, pos - descriptors));
  }
  return out;
}

}  // namespace webhoard
