// The pictures of the graphical buttons, drawn at their design sizes on a
// transparent background.
#pragma once

#include <QPixmap>

#include "texts/controls.h"

namespace zc::qt {

QPixmap CheckMarkPicture();     // green check mark, 44 x 36
QPixmap CrossPicture();         // red cross, 37 x 39
QPixmap QuestionMarkPicture();  // black question mark, arrow to the lower left, 41 x 45

// The drawing a control shows; a null pixmap for Picture::kNone.
QPixmap PictureFor(texts::Picture picture);

}  // namespace zc::qt
