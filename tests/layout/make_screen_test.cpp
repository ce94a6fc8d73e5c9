#include "layout/layout_test_support.h"
#include "layout/make_screen.h"

#include <QFile>
#include <gtest/gtest.h>

namespace blokpost {
namespace {

using test::LayoutProgram;

struct MakeScreen : LayoutProgram {
    MakeScreen() {
        for (int pin = 1; pin <= kPins; pin += 2)
            writePicture("Tekeningen/Tek" + std::to_string(pin) + ".bmp", 40 + pin % 7, 30, 0x000100u * pin);
        writePicture("VasteData/Lijn.bmp", 89, 25, 0x0000AA);
    }
    MakeScreenView& view() { return state.layoutWindows.makeScreen; }
    const ControlPlacement& control(int e) { return state.screen.main.element[e]; }
};

TEST(MakeScreen, KeysCaptionsAndPreviewsNameEveryElement) {
    for (int e = 0; e < kLayoutElements; ++e) EXPECT_EQ(elementOfKey(ElementKey(e)), e);
    EXPECT_EQ(ElementKey(0), "A1");
    EXPECT_EQ(ElementKey(62), "A63");
    EXPECT_EQ(ElementKey(63), "S1");
    EXPECT_EQ(ElementKey(90), "Kn8");
    for (const char* bad : {"", "A", "A0", "A64", "S21", "Kn0", "Kn9", "A1x", "a1", "K1", "S-1"})
        EXPECT_EQ(elementOfKey(bad), -1) << bad;
    EXPECT_EQ(radioCaption(1), "Pin 1/2");
    EXPECT_EQ(radioCaption(63), "Pin 125/126");
    EXPECT_EQ(radioCaption(64), "Sensor 1");
    EXPECT_EQ(radioCaption(84), "Lijn A");
    EXPECT_EQ(radioCaption(91), "Lijn H");
    EXPECT_EQ(previewPicture(62), "Tekeningen/Tek125.bmp");
    EXPECT_EQ(previewPicture(82), "Tekeningen/Sen20H.bmp");
    EXPECT_EQ(previewPicture(90), "VasteData/Lijn.bmp");
}

TEST(MakeScreen, NothingMovesBeforeAnElementIsChosen) {
    MakeScreen p;
    const auto placements = p.state.screen.main.element;
    const LayoutTable layout = p.state.layout;
    Horizontaal(p.state, 300);
    Vertikaal(p.state, -20);
    PasAan(p.state, true);
    EXPECT_EQ(p.state.layout.LayoutX, layout.LayoutX);
    EXPECT_EQ(p.state.layout.LayoutVisible, layout.LayoutVisible);
    for (int e = 0; e < kLayoutElements; ++e) EXPECT_EQ(p.control(e).x, placements[e].x);
    // The check box still repaints the overview.
    EXPECT_EQ(p.view().dot[1], kGray);
    EXPECT_EQ(p.view().dot[84], kYellow);
}

TEST(MakeScreen, ChoosingAnElementShowsItsValuesAndMovesNothing) {
    MakeScreen p;
    p.state.layout.LayoutX[12] = 333;
    p.state.layout.LayoutY[12] = 444;
    p.state.screen.main.element[12] = {333, 444, false};
    Wie(p.state, 13);
    EXPECT_EQ(p.view().SelectedElement, "A13");
    EXPECT_EQ(p.view().preview.pixel(0, 0), 0x000100u * 25);
    EXPECT_EQ(p.view().preview.width(), 40 + 25 % 7);
    EXPECT_FALSE(p.view().visibleChecked);
    EXPECT_EQ(p.view().left, 333);
    EXPECT_EQ(p.view().top, 444);
    EXPECT_EQ(p.control(12).x, 333);
    EXPECT_EQ(p.control(12).y, 444);
    EXPECT_TRUE(p.reporter.messages.empty());

    Wie(p.state, 84);  // line A's button: shown at start
    EXPECT_EQ(p.view().SelectedElement, "Kn1");
    EXPECT_TRUE(p.view().visibleChecked);
    EXPECT_TRUE(p.control(83).visible);
    // The stored table places it at 525 while it stands at 528; the spin box puts it where the table says.
    EXPECT_EQ(p.control(83).y, 525);
}

TEST(MakeScreen, TheCheckBoxAndSpinBoxesPlaceTheChosenElement) {
    MakeScreen p;
    Wie(p.state, 70);  // sensor 7
    PasAan(p.state, true);
    Horizontaal(p.state, 5000);
    Vertikaal(p.state, -7);
    EXPECT_EQ(p.state.layout.LayoutVisible[69], 1);
    EXPECT_EQ(p.state.layout.LayoutX[69], 5000);
    EXPECT_EQ(p.state.layout.LayoutY[69], -7);
    EXPECT_EQ(p.control(69).x, 5000);
    EXPECT_EQ(p.control(69).y, -7);
    EXPECT_TRUE(p.control(69).visible);
    EXPECT_EQ(p.view().dot[70], kYellow);
    EXPECT_EQ(p.view().dot[69], kGray);

    // A line button hidden here disappears from the main window.
    Wie(p.state, 84);
    PasAan(p.state, false);
    EXPECT_FALSE(p.control(83).visible);
    EXPECT_EQ(p.view().dot[84], kGray);
}

TEST(MakeScreen, AHandEditedVisibleTwoShowsUncheckedAndToggles) {
    MakeScreen p;
    p.state.layout.LayoutVisible[3] = 2;
    RecolourOverview(p.state);
    EXPECT_EQ(p.view().dot[4], kYellow);  // the overview counts anything but 0 as shown
    Wie(p.state, 4);
    EXPECT_FALSE(p.view().visibleChecked);
    EXPECT_EQ(p.state.layout.LayoutVisible[3], 2);  // the box did not change, so nothing fired
    PasAan(p.state, true);
    EXPECT_EQ(p.state.layout.LayoutVisible[3], 1);
    PasAan(p.state, false);
    EXPECT_EQ(p.state.layout.LayoutVisible[3], 0);
}

TEST(MakeScreen, AMissingPreviewLeavesTheBoxesOnThePreviousElement) {
    MakeScreen p;
    p.state.layout.LayoutX[0] = 11;
    Wie(p.state, 1);
    QFile::remove(p.folder.filePath("Tekeningen/Tek3.bmp"));
    p.state.layout.LayoutX[1] = 99;
    Wie(p.state, 2);
    ASSERT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_NE(p.reporter.messages[0].find("Tek3.bmp"), std::string::npos);
    EXPECT_EQ(p.view().SelectedElement, "A2");
    EXPECT_EQ(p.view().left, 11);
    // The next spin step acts on the newly chosen element.
    Horizontaal(p.state, 12);
    EXPECT_EQ(p.state.layout.LayoutX[1], 12);
    EXPECT_EQ(p.state.layout.LayoutX[0], 11);
}

TEST(MakeScreen, TheMeterNamesReachTheirButtonsAndWindows) {
    MakeScreen p;
    Meter1maken(p.state, "Baan");
    Meter2maken(p.state, "");
    EXPECT_EQ(p.state.MeterName1, "Baan");
    EXPECT_EQ(p.state.screen.main.meterButtonCaption[1], "Baan");
    EXPECT_EQ(p.state.screen.main.meterWindowCaption[1], "Baan");
    EXPECT_EQ(p.state.MeterName2, "");
    EXPECT_EQ(p.state.screen.main.meterWindowCaption[2], "");
}

}  // namespace
}  // namespace blokpost
