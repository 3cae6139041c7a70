// The links of a style sheet: every url(...) (quoted or not) and every
// @import "..." string. Each link's text is replaced; everything else,
// comments and other strings included, stays byte for byte. Links inside
// comments and strings are not links. A url( or a string that never ends
// is left as it is.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

// Answers the address to write instead of `url`, or nothing to keep it.
// `import` is true for the target of an @import.
using CssLinkRewrite = std::function<std::optional<std::string>(std::string_view url, bool import)>;

std::string RewriteCssLinks(std::string_view css, const CssLinkRewrite& rewrite);

}  // namespace webhoard
