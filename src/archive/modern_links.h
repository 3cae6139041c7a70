// Where one link of a page of today's web leads in the archive.
//
// The link (already freed of HTML entities) is resolved against the page's
// base the way browsers do, and its canonical URL, query included, is looked
// up among the archived items; a "#fragment" plays no part in the look-up
// and is kept on a link to an archived copy. A link to something not
// archived follows the rules of the classic rewriting, by how the page uses
// it:
//  - kImage (pictures, posters, backgrounds, CSS url()): the not-found image;
//  - kEmbedded (what a "src" loads into the page: frames, scripts, media):
//    the not-found page;
//  - kNavigation (anchors, <link>, <object data>, refresh, @import): the web
//    address with "show original URLs", otherwise the not-found page.
// data:, javascript:, mailto:, about:, blob: and every other scheme but
// http(s), empty links and fragment-only links are left as written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "archive/link_options.h"
#include "archive/link_targets.h"

namespace webhoard {

enum class LinkUse { kNavigation, kEmbedded, kImage };

// What the look-up of one link found, for emphasis and strike-out.
enum class LinkFound { kUntouched, kArchived, kMissing };

struct ModernLink {
  std::string text;  // the link to write
  LinkFound found = LinkFound::kUntouched;
};

class ModernLinks {
 public:
  // `base` is the absolute address links resolve against; `targets` and
  // `options` must outlive this object.
  ModernLinks(std::string base, const LinkTargets& targets, const LinkOptions& options)
      : base_(std::move(base)), targets_(targets), options_(options) {}

  // The link to write in place of `link`, or nothing to keep it as written.
  std::optional<ModernLink> Rewrite(std::string_view link, LinkUse use) const;

  // A <base href>: later links resolve against it (when it can be resolved).
  void SetBase(std::string_view href);

 private:
  std::string base_;
  const LinkTargets& targets_;
  const LinkOptions& options_;
};

}  // namespace webhoard
