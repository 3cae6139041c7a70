#include "archive/srcset.h"

#include <vector>

namespace webhoard {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

struct Candidate {
  std::string_view separators;  // the blanks and commas before it
  std::string url;              // as it is to be written
  std::string_view descriptors;
  bool left_out = false;
};

std::string_view TrimBlanksAtEnd(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string RewriteSrcset(std::string_view srcset, const CandidateRewrite& rewrite) {
  std::vector<Candidate> candidates;
  std::size_t pos = 0;
  const std::size_t n = srcset.size();
  std::string_view trailing;
  bool any_left_out = false;
  while (pos < n) {
    const std::size_t start = pos;
    while (pos < n && (IsBlank(srcset[pos]) || srcset[pos] == ',')) ++pos;
    if (pos == n) {
      trailing = srcset.substr(start);
      break;
    }
    Candidate c;
    c.separators = srcset.substr(start, pos - start);

    // The address runs to the next blank; commas at its end separate it
    // from the next candidate and are not part of it.
    const std::size_t url_start = pos;
    while (pos < n && !IsBlank(srcset[pos])) ++pos;
    std::size_t url_end = pos;
    while (url_end > url_start && srcset[url_end - 1] == ',') --url_end;
    const std::string_view url = srcset.substr(url_start, url_end - url_start);
    const auto replaced = url.empty() ? std::nullopt : rewrite(url);
    c.url = replaced ? *replaced : std::string(url);
    c.left_out = replaced && replaced->empty();
    any_left_out = any_left_out || c.left_out;
    if (url_end < pos) {
      pos = url_end;  // the commas start the next separators
    } else {
      // Descriptors up to the next comma outside parentheses.
      const std::size_t descriptors = pos;
      int depth = 0;
      while (pos < n && !(srcset[pos] == ',' && depth == 0)) {
        if (srcset[pos] == '(') ++depth;
        if (srcset[pos] == ')' && depth > 0) --depth;
        ++pos;
      }
      c.descriptors = srcset.substr(descriptors, pos - descriptors);
    }
    candidates.push_back(std::move(c));
  }

  std::string out;
  out.reserve(srcset.size());
  for (const Candidate& c : candidates) {
    if (!any_left_out) {
      out.append(c.separators).append(c.url).append(c.descriptors);
    } else if (!c.left_out) {
      if (!out.empty()) out.append(", ");
      out.append(c.url).append(TrimBlanksAtEnd(c.descriptors));
    }
  }
  if (!any_left_out) out.append(trailing);
  return out;
}

}  // namespace webhoard
