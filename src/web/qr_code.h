#pragma once
// A QR code of an address, for a phone's camera.

#include <QImage>
#include <QString>

namespace blokpost {

// Black modules on white with the quiet zone around them, `scale` pixels a
// module; a null image when the text does not fit a code.
QImage qrCode(const QString& text, int scale);

}  // namespace blokpost
