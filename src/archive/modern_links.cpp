#include "archive/modern_links.h"

#include <algorithm>

#include "archive/archive_layout.h"
#include "archive/link_resolver.h"
#include "common/html_escape.h"
#include "url/canonical_url.h"

namespace webhoard {
namespace {

bool IsAsciiWhitespace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// Browsers drop the blanks around an address and the line breaks and tabs
// inside it before reading it.
std::string CleanLink(std::string_view link) {
  while (!link.empty() && IsAsciiWhitespace(link.front())) link.remove_prefix(1);
  while (!link.empty() && IsAsciiWhitespace(link.back())) link.remove_suffix(1);
  std::string out(link);
  std::erase_if(out, [](char c) { return c == '\t' || c == '\n' || c == '\r'; });
  return out;
}

// The address a reader sees: page addresses are canonical ("http://host:80/",
// "https://host:443/"), so a link resolved against one names the default
// port, which is dropped.
std::string WebForm(std::string absolute) {
  const bool secure = absolute.starts_with("https://");
  const std::string_view default_port = secure ? ":443" : ":80";
  const std::size_t authority_from = secure ? 8 : 7;
  if (!secure && !absolute.starts_with("http://")) return absolute;
  const std::size_t authority_end =
      std::min(absolute.find_first_of("/?", authority_from), absolute.size());
  if (authority_end > authority_from + default_port.size() &&
      std::string_view(absolute).substr(authority_end - default_port.size(),
                                        default_port.size()) == default_port) {
    absolute.erase(authority_end - default_port.size(), default_port.size());
  }
  return absolute;
}

}  // namespace

std::optional<ModernLink> ModernLinks::Rewrite(std::string_view raw, LinkUse use) const {
  const std::string link = CleanLink(raw);
  const auto absolute = ResolveModernLink(link, base_);
  if (!absolute) return std::nullopt;
  const CanonicalUrl canonical = CanonicalFromStoredUrl(*absolute);
  if (!canonical.usable()) return std::nullopt;
  const std::size_t hash = link.find('#');
  const std::string fragment = hash == std::string::npos ? std::string() : link.substr(hash);

  ModernLink out;
  if (const TCacheItem* item = targets_.Find(canonical.url)) {
    // Names and domains may hold "#", "%" or blanks, which a link must
    // not carry as they are.
    out.text = ArchiveLinkText(EncodeLinkComponent(item->Domain), TypeFolderOf(*item),
                               EncodeLinkComponent(item->ArchiveName)) +
               fragment;
    out.found = LinkFound::kArchived;
    return out;
  }
  out.found = LinkFound::kMissing;
  out.text = kNotFoundPageLink;
  if (use == LinkUse::kImage) {
    out.text = kNotFoundImageLink;
  } else if (use == LinkUse::kNavigation && options_.show_original_urls) {
    out.text = WebForm(*absolute) + fragment;
  }
  return out;
}

void ModernLinks::SetBase(std::string_view href) {
  if (auto absolute = ResolveModernLink(CleanLink(href), base_)) base_ = std::move(*absolute);
}

}  // namespace webhoard
