// The windows' pictures, compiled in as resources (drawn by
// tools/make_pictures): logo, banner, maker's logo, the four button glyphs,
// the pointing-hand cursor, the window icons and the result-list icons.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

#include "common/edition.h"

namespace webhoard::gui {

// ":/pictures/<name>.png"; a null pixmap when there is no such picture.
QPixmap Picture(const char* name);

// The program's own pointing-hand cursor (the system's when the picture is
// missing).
QCursor PointingHandCursor();

// The window icon of an edition's program.
QIcon EditionIcon(Edition edition);

// The result list's icon of a search hit: 0 text, 1 image, 2 audio,
// 3 video, 4 other.
QIcon ResultIcon(int icon_index);

}  // namespace webhoard::gui
