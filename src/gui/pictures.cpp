#include "gui/pictures.h"

#include <QString>

// The pictures live in a static library: their resources are registered
// by hand, once, before the first picture is read.
static void RegisterPictures() { Q_INIT_RESOURCE(pictures); }

namespace webhoard::gui {
namespace {

// The finger tip of hand_cursor.png.
constexpr int kHandHotSpotX = 9;
constexpr int kHandHotSpotY = 1;

}  // namespace

QPixmap Picture(const char* name) {
  static const bool registered = (RegisterPictures(), true);
  (void)registered;
  return QPixmap(QStringLiteral(":/pictures/") + QString::fromLatin1(name) +
                 QStringLiteral(".png"));
}

QCursor PointingHandCursor() {
  const QPixmap hand = Picture("hand_cursor");
  if (hand.isNull()) return QCursor(Qt::PointingHandCursor);
  return QCursor(hand, kHandHotSpotX, kHandHotSpotY);
}

QIcon EditionIcon(Edition edition) {
  const bool navigator = edition == Edition::kNavigator;
  QIcon icon;
  icon.addPixmap(Picture(navigator ? "webhoard-nav" : "webhoard-ie"));
  icon.addPixmap(Picture(navigator ? "webhoard-nav-256" : "webhoard-ie-256"));
  return icon;
}

QIcon ResultIcon(int icon_index) {
  static const char* const kNames[] = {"result_text", "result_image", "result_audio",
                                       "result_video", "result_other"};
  const int index = icon_index >= 0 && icon_index < 5 ? icon_index : 4;
  return QIcon(Picture(kNames[index]));
}

}  // namespace webhoard::gui
