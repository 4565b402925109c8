#pragma once
// Rendered pictures as QImage, with the overlay marks painted on them.

#include <QImage>

#include "viewer/display/overlays.h"
#include "viewer/display/raster.h"

namespace tesmar::picture {

QImage toQImage(const display::Image24& image);
display::Image24 fromQImage(const QImage& image);

// Paints the marks (lines, squares, names) onto the picture.
void paintMarks(QImage& image, const display::DrawList& marks);

// The same on a core picture: converts, paints, converts back.
void paintMarks(display::Image24& image, const display::DrawList& marks);

}  // namespace tesmar::picture
