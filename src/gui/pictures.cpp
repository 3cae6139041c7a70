#include "gui/pictures.h"

#include <QString>

// The pictures are compiled into the static library, whose resource object a
// program's linker leaves out unless something names it: this does.
static void LoadPictureResources() {
  static const bool loaded = [] {
    Q_INIT_RESOURCE(pictures);
    return true;
  }();
  (void)loaded;
}

namespace webhoard::gui {
namespace {

// The finger tip of hand_cursor.png.
constexpr int kHandHotSpotX = 9;
constexpr int kHandHotSpotY = 1;

}  // namespace

QPixmap Picture(const char* name) {
  LoadPictureResources();
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
