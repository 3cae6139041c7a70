// Sizes written for a screen of 120 pixels per inch, on the screen at hand:
// scaled by its pixels per inch / 120, truncated.
#pragma once

#include <QWidget>

namespace webhoard::gui {

inline int Scaled(const QWidget* widget, int pixels_at_120_dpi) {
  return pixels_at_120_dpi * widget->logicalDpiX() / 120;
}

}  // namespace webhoard::gui
