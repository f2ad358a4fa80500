// The program's pictures, drawn at run time so they stay sharp at any size:
// the window icon (a KT-9 seen from above) and the tall picture of the pedal
// at the left of the pages.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace kt9 {

QIcon ProgramIcon();
// The picture at the left of the pages, `size` in device-independent pixels.
QPixmap PedalPicture(QSize size, qreal devicePixelRatio = 1.0);

}  // namespace kt9
