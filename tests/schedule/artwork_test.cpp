// The installation's own pictures must suit the code that draws on them:
// the grid marker's flood fill, the sizes the windows expect, and an
// operator's own pictures are never overwritten.

#include "artwork/artwork.h"
#include "lines/step_marker.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

Canvas canvasOf(const QImage& image) {
    Canvas c;
    c.assign(image);
    return c;
}

TEST(Artwork, TheMarkerColoursEveryIconsBackgroundAndLeavesNoTraceWhenTakenAway) {
    std::vector<std::string> icons = artwork::kInstructionIcons;
    for (const std::string& file : icons) {
        SCOPED_TRACE(file);
        const QImage icon = artwork::instructionIcon(file);
        ASSERT_EQ(icon.size(), QSize(68, 68));
        Canvas cell = canvasOf(icon);
        EXPECT_EQ(cell.pixel(0, 0), kBlack);
        EXPECT_EQ(cell.pixel(2, 2), kWhite);

        cell.setBrush(kRed);
        cell.floodFill(2, 2, kBlack);
        EXPECT_EQ(cell.pixel(2, 2), kRed);
        EXPECT_EQ(cell.pixel(65, 65), kRed);
        // The text places stay white inside their black-edged panel.
        const bool hasTexts = file != "Green.bmp" && file != "Blanco.bmp";
        if (hasTexts) {
            const bool wide = file == "PinMake.bmp" || file == "Timer.bmp";
            EXPECT_EQ(cell.pixel(wide ? 8 : 16, 30), kWhite);
            EXPECT_EQ(cell.pixel(wide ? 60 : 46, 55), kWhite);
        }
        cell.setBrush(kWhite);
        cell.floodFill(2, 2, kBlack);
        EXPECT_EQ(cell.image(), canvasOf(icon).image());
    }
}

TEST(Artwork, PicturesHaveTheSizesTheWindowsExpectAndPairsLookDifferent) {
    EXPECT_EQ(artwork::trackPlan().size(), QSize(1393, 588));
    EXPECT_EQ(artwork::meterDial(1).size(), QSize(159, 152));
    EXPECT_EQ(artwork::departureBoard().size(), QSize(332, 143));
    EXPECT_EQ(artwork::clockFace().size(), QSize(121, 122));
    EXPECT_EQ(artwork::variantPicture(4).size(), QSize(300, 121));
    EXPECT_EQ(artwork::selectionPicture().size(), QSize(68, 68));
    EXPECT_EQ(artwork::stationPhotograph().size(), QSize(512, 233));
    EXPECT_EQ(artwork::trainPhotograph().size(), QSize(640, 80));
    for (int pin : {1, 63, 64, 65, 125}) {
        EXPECT_EQ(artwork::pinDrawing(pin).size(), QSize(96, 35));
        EXPECT_NE(artwork::pinDrawing(pin), artwork::pinDrawing(pin + 1)) << pin;
    }
    EXPECT_NE(artwork::sensorDrawing(7, true), artwork::sensorDrawing(7, false));
    EXPECT_NE(artwork::sensorDrawing(7, true), artwork::sensorDrawing(8, true));
    // The board's text places are white, so black text on the white brush reads on it.
    const QImage board = artwork::departureBoard();
    for (QPoint at : {QPoint(15, 16), QPoint(15, 50), QPoint(277, 32), QPoint(15, 86), QPoint(120, 16)})
        EXPECT_EQ(board.pixel(at) & 0xFFFFFFu, 0xFFFFFFu) << at.x() << "," << at.y();
}

TEST(Artwork, WritesOnlyMissingPicturesIntoTheFoldersAsTheyAreSpelled) {
    TestProgram p;
    p.writePicture("Vastedata/klok.bmp", 3, 3, 0x123456);  // the operator's own clock face
    int written = 0;
    EXPECT_TRUE(artwork::writeMissingPictures(p.folder.path(), &written).isEmpty());
    EXPECT_EQ(written, static_cast<int>(artwork::installationPictures().size()) - 1);
    EXPECT_FALSE(QDir(p.folder.filePath("VasteData")).exists());
    EXPECT_EQ(QImage(p.folder.filePath("Vastedata/klok.bmp")).size(), QSize(3, 3));
    EXPECT_EQ(QImage(p.folder.filePath("Tekeningen/Tek126.bmp")).size(), QSize(96, 35));

    // What the program reads, it finds: the track plan at start, a selection, a redraw.
    FormCreate(p.state, 600);
    EXPECT_EQ(p.state.screen.main.trackPlan.pixel(5, 5), artwork::trackPlan().pixel(5, 5) & 0xFFFFFFu);
    int again = -1;
    artwork::writeMissingPictures(p.folder.path(), &again);
    EXPECT_EQ(again, 0);
}

}  // namespace
}  // namespace blokpost::test
