#include "base/canvas.h"

#include "base/picture_load_watch.h"
#include "base/stored_file.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <map>
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
    pictureLoadStarts();
    QImage loaded;
    const bool ok = isRegularFile(file) && loaded.load(file);
    if (ok) assign(loaded);
    pictureLoadEnds();
    return ok;
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

namespace {

// Building a font and its metrics costs more than drawing a short text, and a
// cycle writes many texts in few sizes: keep one per size and weight.
struct TextFont {
    QFont font;
    QFontMetrics metrics;
};

const TextFont& textFont(int pixelSize, bool bold) {
    // Never destroyed: fonts must not outlive the application object at exit.
    static auto& fonts = *new std::map<std::pair<int, bool>, TextFont>;
    const auto key = std::pair{pixelSize, bold};
    auto found = fonts.find(key);
    if (found == fonts.end()) {
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(pixelSize);
        font.setBold(bold);
        found = fonts.emplace(key, TextFont{font, QFontMetrics(font)}).first;
    }
    return found->second;
}

}  // namespace

void Canvas::text(int x, int y, const std::string& text) {
    if (image_.isNull()) return;
    const TextFont& f = textFont(pointsToPixels(fontPoints_), fontBold_);
    const QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    QPainter p(&image_);
    p.fillRect(QRect(x, y, f.metrics.horizontalAdvance(s), f.metrics.height()), toQColor(brush_));
    p.setFont(f.font);
    p.setPen(toQColor(fontColour_));
    p.drawText(x, y + f.metrics.ascent(), s);
    changed();
}

void Canvas::floodFill(int x, int y, Colour border) {
    const int w = image_.width(), h = image_.height();
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    const QRgb borderRgb = border & 0xFFFFFFu;
    const QRgb fillRgb = 0xFF000000u | (brush_ & 0xFFFFFFu);
    // Rows are reached through one pointer; the picture is RGB32 throughout.
    auto* bits = reinterpret_cast<QRgb*>(image_.bits());
    const auto stride = static_cast<std::size_t>(image_.bytesPerLine() / 4);
    auto at = [&](int px, int py) -> QRgb& { return bits[static_cast<std::size_t>(py) * stride + px]; };
    auto isBorder = [&](int px, int py) { return (at(px, py) & 0xFFFFFFu) == borderRgb; };
    if (isBorder(x, y)) return;
    std::vector<std::uint8_t> done(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    auto isDone = [&](int px, int py) { return done[static_cast<std::size_t>(py) * w + px] != 0; };
    std::vector<std::pair<int, int>> pending{{x, y}};
    // Scanline fill: take a seed, run left and right to the border, and queue
    // one seed per run in the rows above and below. No recursion, so no
    // picture is too large.
    while (!pending.empty()) {
        auto [sx, sy] = pending.back();
        pending.pop_back();
        if (isDone(sx, sy) || isBorder(sx, sy)) continue;
        int left = sx, right = sx;
        while (left > 0 && !isBorder(left - 1, sy)) --left;
        while (right < w - 1 && !isBorder(right + 1, sy)) ++right;
        for (int px = left; px <= right; ++px) {
            at(px, sy) = fillRgb;
            done[static_cast<std::size_t>(sy) * w + px] = 1;
        }
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= h) continue;
            for (int px = left; px <= right; ++px) {
                if (isDone(px, ny) || isBorder(px, ny)) continue;
                pending.emplace_back(px, ny);
                while (px < right && !isBorder(px + 1, ny)) ++px;
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
