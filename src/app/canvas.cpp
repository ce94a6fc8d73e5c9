#include "app/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <vector>

namespace blokpost {

int roundHalfEven(double x) {
    return static_cast<int>(std::nearbyint(x));  // default rounding mode: to nearest, ties to even
}

namespace {

QColor toQColor(Colour c) { return QColor::fromRgb(static_cast<QRgb>(c) | 0xFF000000u); }

// Points at the 96 dots per inch the designed windows were laid out for.
int pointsToPixels(int points) { return roundHalfEven(points * 96.0 / 72.0); }

}  // namespace

Canvas::Canvas(int width, int height, Colour background)
    : image_(width, height, QImage::Format_RGB32) {
    image_.fill(toQColor(background));
}

bool Canvas::load(const QString& file) {
    QImage loaded;
    if (!loaded.load(file)) return false;
    assign(loaded);
    return true;
}

void Canvas::assign(const QImage& image) {
    image_ = image.convertToFormat(QImage::Format_RGB32);
    resetState();
    changed();
}

void Canvas::resetState() {
    penColour_ = kBlack;
    penWidth_ = 1;
    brush_ = kWhite;
    fontPoints_ = 8;
    fontColour_ = kBlack;
    fontBold_ = false;
}

void Canvas::setPen(Colour colour, int width) {
    penColour_ = colour;
    penWidth_ = width;
}

void Canvas::line(int x1, int y1, int x2, int y2) {
    if (image_.isNull()) return;
    QPainter p(&image_);
    p.setPen(QPen(toQColor(penColour_), penWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(x1, y1, x2, y2);
    changed();
}

void Canvas::ellipse(int x1, int y1, int x2, int y2) {
    if (image_.isNull()) return;
    QPainter p(&image_);
    p.setPen(QPen(toQColor(penColour_), penWidth_));
    p.setBrush(toQColor(brush_));
    // The corners bound the ellipse like a rectangle whose right and bottom edges are excluded.
    p.drawEllipse(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)));
    changed();
}

void Canvas::text(int x, int y, const std::string& text) {
    if (image_.isNull()) return;
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pointsToPixels(fontPoints_));
    font.setBold(fontBold_);
    const QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetrics metrics(font);
    QPainter p(&image_);
    p.fillRect(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()), toQColor(brush_));
    p.setFont(font);
    p.setPen(toQColor(fontColour_));
    p.drawText(x, y + metrics.ascent(), s);
    changed();
}

void Canvas::floodFill(int x, int y, Colour border) {
    const int w = image_.width(), h = image_.height();
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    const QRgb borderRgb = border & 0xFFFFFFu;
    const QRgb fillRgb = 0xFF000000u | (brush_ & 0xFFFFFFu);
    auto isBorder = [&](int px, int py) {
        return (reinterpret_cast<const QRgb*>(image_.constScanLine(py))[px] & 0xFFFFFFu) == borderRgb;
    };
    if (isBorder(x, y)) return;
    std::vector<bool> done(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), false);
    std::vector<std::pair<int, int>> pending{{x, y}};
    // Scanline fill: take a seed, run left and right to the border, and queue
    // the rows above and below. No recursion, so no picture is too large.
    while (!pending.empty()) {
        auto [sx, sy] = pending.back();
        pending.pop_back();
        auto seen = [&](int px) { return done[static_cast<std::size_t>(sy) * w + px]; };
        if (seen(sx) || isBorder(sx, sy)) continue;
        int left = sx, right = sx;
        while (left > 0 && !isBorder(left - 1, sy)) --left;
        while (right < w - 1 && !isBorder(right + 1, sy)) ++right;
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(sy));
        for (int px = left; px <= right; ++px) {
            row[px] = fillRgb;
            done[static_cast<std::size_t>(sy) * w + px] = true;
        }
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= h) continue;
            for (int px = left; px <= right; ++px) {
                if (!done[static_cast<std::size_t>(ny) * w + px] && !isBorder(px, ny)) {
                    pending.emplace_back(px, ny);
                    // Skip the rest of this run; one seed per run is enough.
                    while (px < right && !isBorder(px + 1, ny)) ++px;
                }
            }
        }
    }
    changed();
}

void Canvas::fill(Colour colour) {
    image_.fill(toQColor(colour));
    changed();
}

Colour Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return 0;
    return image_.pixel(x, y) & 0xFFFFFFu;
}

}  // namespace blokpost
