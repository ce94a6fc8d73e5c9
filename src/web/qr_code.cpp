#include "web/qr_code.h"

#include <qrencode.h>

#include <memory>

namespace blokpost {

QImage qrCode(const QString& text, int scale) {
    const QByteArray bytes = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code) return {};
    constexpr int kQuietZone = 4;
    const int side = code->width + 2 * kQuietZone;
    QImage image(side * scale, side * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x) {
            // The lowest bit of each module is its colour: 1 is black.
            if (!(code->data[y * code->width + x] & 1)) continue;
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx)
                    image.setPixel((x + kQuietZone) * scale + dx, (y + kQuietZone) * scale + dy, qRgb(0, 0, 0));
        }
    return image;
}

}  // namespace blokpost
