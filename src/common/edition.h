// The two editions of the program. Each executable fixes its edition in
// main(); the few places where the editions behave differently ask it.
#pragma once

namespace webhoard {

enum class Edition {
  kNavigator,  // reads Netscape Navigator's cache index
  kExplorer,   // reads the Internet Explorer URL cache
};

}  // namespace webhoard
