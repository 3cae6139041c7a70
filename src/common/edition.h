// The two editions of the program. Each executable fixes its edition in
// main(); the few places where the editions behave differently ask it.
// ("Explorer" alone names the Cache Explorer, the dialog that chooses cache
// items, in either edition.)
#pragma once

namespace webhoard {

enum class Edition {
  kNavigator,         // reads Netscape Navigator's cache index
  kInternetExplorer,  // reads the Internet Explorer URL cache
};

}  // namespace webhoard
