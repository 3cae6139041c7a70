// The candidate list of a srcset attribute ("a.jpg 1x, b.jpg 2x",
// "small.png 480w, big.png 1080w"): each candidate's address is replaced,
// while its descriptors, the commas and the blanks between candidates stay
// byte for byte. A candidate may also be left out, with its descriptors;
// the candidates left are then written as "address descriptors, ...".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

// Answers the address to write instead of a candidate's, nothing to keep it,
// or an empty text to leave the candidate out.
using CandidateRewrite = std::function<std::optional<std::string>(std::string_view url)>;

std::string RewriteSrcset(std::string_view srcset, const CandidateRewrite& rewrite);

}  // namespace webhoard
