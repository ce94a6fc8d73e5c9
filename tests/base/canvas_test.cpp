#include "base/canvas.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace blokpost {
namespace {

// A white picture with a closed black square outline from (10, 10) to (30, 30).
Canvas framedSquare() {
    Canvas c(40, 40, kWhite);
    c.setPen(kBlack, 1);
    c.line(10, 10, 30, 10);
    c.line(30, 10, 30, 30);
    c.line(30, 30, 10, 30);
    c.line(10, 30, 10, 10);
    return c;
}

TEST(CanvasFloodFill, FillsOnlyUpToTheBorderColour) {
    Canvas c = framedSquare();
    c.setPen(kBlue, 1);
    c.line(15, 20, 25, 20);  // a blue stroke inside is no border: it is filled over
    c.setBrush(kRed);
    c.floodFill(20, 15, kBlack);
    EXPECT_EQ(c.pixel(20, 15), kRed);
    EXPECT_EQ(c.pixel(20, 20), kRed);
    EXPECT_EQ(c.pixel(11, 29), kRed);
    EXPECT_EQ(c.pixel(10, 20), kBlack);  // the border itself stays
    EXPECT_EQ(c.pixel(5, 5), kWhite);     // outside is not reached
    EXPECT_EQ(c.pixel(35, 35), kWhite);
}

TEST(CanvasFloodFill, FillsOutsideAroundAnEnclosedArea) {
    Canvas c = framedSquare();
    c.setBrush(kRed);
    c.floodFill(2, 2, kBlack);
    EXPECT_EQ(c.pixel(0, 0), kRed);
    EXPECT_EQ(c.pixel(39, 39), kRed);
    EXPECT_EQ(c.pixel(20, 20), kWhite);
}

TEST(CanvasFloodFill, ADiagonalBorderHoldsAndAStartOnTheBorderFillsNothing) {
    Canvas c(20, 20, kWhite);
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int i = 0; i < 20; ++i) image.setPixel(i, i, qRgb(0, 0, 0));  // touches only at corners
    c.assign(image);
    c.setBrush(kRed);
    c.floodFill(15, 2, kBlack);
    EXPECT_EQ(c.pixel(15, 2), kRed);
    EXPECT_EQ(c.pixel(2, 15), kWhite);

    c.setBrush(kBlue);
    c.floodFill(5, 5, kBlack);
    EXPECT_EQ(c.pixel(5, 5), kBlack);
    EXPECT_EQ(c.pixel(6, 5), kRed);
}

TEST(CanvasState, TextLeavesAnOpaqueBoxInTheBrushColourAtItsTopLeftCorner) {
    Canvas c(60, 40, kGray);
    c.setBrush(kWhite);
    c.setFontColour(kBlue);
    c.setFontSize(11);
    c.text(8, 10, "88");
    EXPECT_EQ(c.pixel(8, 10), kWhite);
    EXPECT_EQ(c.pixel(7, 10), kGray);
    EXPECT_EQ(c.pixel(8, 9), kGray);
    bool blue = false;
    for (int y = 10; y < 30; ++y)
        for (int x = 8; x < 30; ++x) blue = blue || c.pixel(x, y) == kBlue;
    EXPECT_TRUE(blue);
}

TEST(CanvasState, LoadingReplacesThePictureAndResetsTheDrawingSettings) {
    QTemporaryDir folder;
    const QString file = folder.filePath("p.bmp");
    QImage image(5, 7, QImage::Format_RGB32);
    image.fill(qRgb(0x12, 0x34, 0x56));
    ASSERT_TRUE(image.save(file, "BMP"));

    Canvas c(68, 68, kWhite);
    c.setBrush(kRed);
    c.setFontSize(18);
    c.setFontColour(kTeal);
    c.setPen(kGray, 6);
    const auto before = c.revision();
    ASSERT_TRUE(c.load(file));
    EXPECT_GT(c.revision(), before);
    EXPECT_EQ(c.width(), 5);
    EXPECT_EQ(c.pixel(2, 2), 0x123456u);
    EXPECT_EQ(c.brush(), kWhite);
    EXPECT_EQ(c.fontSize(), 8);
    EXPECT_EQ(c.fontColour(), kBlack);
    EXPECT_EQ(c.penWidth(), 1);

    // A failed load keeps picture and settings.
    c.setBrush(kRed);
    EXPECT_FALSE(c.load(folder.filePath("missing.bmp")));
    EXPECT_EQ(c.width(), 5);
    EXPECT_EQ(c.brush(), kRed);
}

TEST(CanvasGeometry, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(0.2769), 0);
}

}  // namespace
}  // namespace blokpost
