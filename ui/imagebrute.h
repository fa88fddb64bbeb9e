#pragma once
// Pictures prepared when the program is built and embedded as raw pixels, so
// that showing one costs no decoding: a 16-byte header ("MVIM", then width,
// height and QImage format as 32-bit little-endian numbers) followed by the
// rows, 4 bytes a pixel.
#include <QImage>
#include <QString>

namespace imagebrute {

// Writes a 32-bit image (RGB32 or premultiplied ARGB32); false on failure.
bool ecrire(const QImage &image, const QString &chemin);

// The picture in the file or embedded resource `chemin`; a null image when
// it is absent or not a well-formed raw picture.
QImage lire(const QString &chemin);

} // namespace imagebrute
