#pragma once
// A picture that the logic draws on at exact pixels, with a painter's state
// (pen, brush, font) that stays with the picture between calls.
// Loading a bitmap replaces the picture and resets that state, so whatever
// a later drawer writes uses the settings the last drawer left behind.

#include <QImage>
#include <QString>
#include <cstdint>
#include <string>

namespace blokpost {

// Colours as 0xRRGGBB.
using Colour = std::uint32_t;
inline constexpr Colour kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xFF0000,
                        kGray = 0x808080, kYellow = 0xFFFF00, kAqua = 0x00FFFF,
                        kGreen = 0x008000, kBlue = 0x0000FF, kMaroon = 0x800000,
                        kTeal = 0x008080, kSilver = 0xC0C0C0, kNavy = 0x000080;

// Round half to even, as the drawing geometry requires.
int roundHalfEven(double x);

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Colour background = kWhite);

    // Replaces the picture with the bitmap file and resets pen, brush and font.
    // Returns false (and keeps picture and state) when the file cannot be read.
    bool load(const QString& file);
    // Replaces the picture with an in-memory image; resets the state like load().
    void assign(const QImage& image);

    void setPen(Colour colour, int width);
    void setPenColour(Colour colour) { penColour_ = colour; }
    void setPenWidth(int width) { penWidth_ = width; }
    // The brush fills ellipses and flood fills and is the opaque background of text.
    void setBrush(Colour colour) { brush_ = colour; }
    void setFontSize(int points) { fontPoints_ = points; }
    void setFontColour(Colour colour) { fontColour_ = colour; }
    void setFontBold(bool bold) { fontBold_ = bold; }

    Colour penColour() const { return penColour_; }
    int penWidth() const { return penWidth_; }
    Colour brush() const { return brush_; }
    int fontSize() const { return fontPoints_; }
    Colour fontColour() const { return fontColour_; }

    void line(int x1, int y1, int x2, int y2);
    void ellipse(int x1, int y1, int x2, int y2);
    // Text with its top-left corner at (x, y) on a brush-coloured box.
    void text(int x, int y, const std::string& text);
    // Fills, with the brush, the area around (x, y) bounded by the border colour.
    void floodFill(int x, int y, Colour border);
    void fill(Colour colour);

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    Colour pixel(int x, int y) const;
    const QImage& image() const { return image_; }
    // Counts every change, so a view can tell that it must repaint.
    std::uint64_t revision() const { return revision_; }

private:
    void resetState();
    void changed() { ++revision_; }

    QImage image_;
    Colour penColour_ = kBlack;
    int penWidth_ = 1;
    Colour brush_ = kWhite;
    int fontPoints_ = 8;
    Colour fontColour_ = kBlack;
    bool fontBold_ = false;
    std::uint64_t revision_ = 0;
};

}  // namespace blokpost
