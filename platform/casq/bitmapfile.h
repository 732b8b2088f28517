#pragma once

// Bitmaps as files: the colour depths of the bitmap export and the BMP layout written for them
// (1, 4 and 8 bits a pixel with their colour table, else 24 bits, rows bottom-up).
// Callers: the bitmap device (casq).

#include <QByteArray>
#include <QImage>

#include "platform/win/colour.h"

namespace casq {

// The image reduced to the depth: 1 keeps the background's shade and gives everything drawn
// the other one; 4 takes the nearest of the 16 standard colours; 8 the nearest of a 6x6x6 cube
// and 40 greys; any other depth keeps full colour (32 bits).
QImage reducedepth(const QImage& image, int depth, COLORREF background);
// A BMP file of the image (indexed images keep their depth, 16-colour tables give 4 bits).
QByteArray bmpfile(const QImage& image, int dpi);

} // namespace casq
