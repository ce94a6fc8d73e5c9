// The grid window and the palette as the operator uses them: clicks on cells,
// indicators and buttons, typed values in the spin boxes.

#include "base/forms/spin_edit.h"
#include "schedule/forms/palette_window.h"
#include "schedule/forms/rijschema_window.h"
#include "support/app_program.h"
#include "support/test_input.h"

#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

void typeAndLeave(SpinEdit* box, const QString& text) {
    box->findChild<QLineEdit*>()->setText(text);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &leave);
}

struct Windows : ::testing::Test, AppProgram {
    Windows() {
        for (const char* icon : {"Wie", "Timer", "PinMake", "Green"})
            writePicture(std::string("VasteData/") + icon + ".bmp", 68, 68, 0xDDDDDD);
    }
    TForm4* grid() { return form<TForm4>(4); }
    TForm5* palette() { return form<TForm5>(5); }
    QPushButton* paletteButton(const char* handler) { return palette()->findChild<QPushButton*>(handler); }
};

TEST_F(Windows, TheGridIsBuiltAsDesigned) {
    EXPECT_EQ(grid()->size(), QSize(1835, 855));
    EXPECT_EQ(grid()->Image[1]->geometry(), QRect(32, 8, 68, 68));
    EXPECT_EQ(grid()->Image[26]->geometry(), QRect(32, 80, 68, 68));
    EXPECT_EQ(grid()->Image[200]->geometry(), QRect(32 + 72 * 24, 8 + 72 * 7, 68, 68));
    EXPECT_EQ(grid()->Image[201]->geometry(), QRect(856, 616, 300, 121));
    EXPECT_EQ(grid()->Shape[11]->geometry(), QRect(32, 648, 17, 17));
    EXPECT_EQ(grid()->Shape[10]->pos(), QPoint(264, 616));
    EXPECT_EQ(grid()->Shape[28]->pos(), QPoint(432 + 24 * 7, 600));
    EXPECT_EQ(grid()->Shape[34]->pos(), QPoint(10, 384));
    EXPECT_EQ(grid()->Button[5]->text(), QStringLiteral("Save dienst"));
    EXPECT_FALSE(grid()->Button[5]->isEnabled());
    // The photograph is decoded from the program's own JPEG resource.
    auto* photo = grid()->findChild<QLabel*>(QStringLiteral("Image202"));
    ASSERT_NE(photo, nullptr);
    EXPECT_FALSE(photo->pixmap().isNull());
    EXPECT_EQ(QImage(QStringLiteral(":/photos/timetable.jpg")).isNull(), false);
}

TEST_F(Windows, ACellClickOpensThePaletteAndAButtonWritesTheSelectedCell) {
    rightPress(grid()->Image[26]);
    EXPECT_EQ(state().editor.SelectedCell, 26);
    EXPECT_TRUE(palette()->isVisible());

    typeAndLeave(palette()->SpinEdits[2], QStringLiteral("5000"));
    EXPECT_EQ(palette()->SpinEdits[2]->value(), 3600);
    paletteButton("TimerMaken")->click();
    EXPECT_EQ(state().model.StepKind[2][1], "Timer");
    EXPECT_EQ(state().model.StepOperand[2][1], 3600);
    EXPECT_FALSE(palette()->isVisible());
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(Windows, PinBlancoAndGreenTakeTheirOperandsAsDesigned) {
    state().editor.SelectedCell = 3;
    palette()->SpinEdits[1]->setValue(1);
    paletteButton("PinMaken")->click();
    EXPECT_EQ(state().model.StepKind[1][3], "Pin");
    EXPECT_EQ(state().model.StepOperand[1][3], 0);

    palette()->SpinEdits[5]->setValue(17);  // the Hold Sen box
    paletteButton("GreenMaken")->click();
    EXPECT_EQ(state().model.StepKind[1][3], "Green");
    EXPECT_EQ(state().model.StepOperand[1][3], 17);
}

TEST_F(Windows, AMissingIconKeepsThePaletteOpenWithTheInstructionStored) {
    state().editor.SelectedCell = 4;
    palette()->showWindow();
    paletteButton("JumpMaken")->click();
    EXPECT_TRUE(palette()->isVisible());
    EXPECT_EQ(state().model.StepKind[1][4], "Jump");
    EXPECT_EQ(state().model.StepOperand[1][4], 8);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0], "Cannot open file \"VasteData/Jump.bmp\". No such file or directory.");
}

TEST_F(Windows, SpinBoxesStartAsDesignedAndClampWhatIsTyped) {
    const int starts[] = {0, 5, 10, 8, 5, 5, 5, 5};
    for (int n = 1; n <= 7; ++n) EXPECT_EQ(palette()->SpinEdits[n]->value(), starts[n]) << n;
    SpinEdit* pin = palette()->SpinEdits[1];
    typeAndLeave(pin, QStringLiteral("0"));
    EXPECT_EQ(pin->value(), 1);
    typeAndLeave(pin, QStringLiteral("abc"));
    EXPECT_EQ(pin->value(), 1);
    typeAndLeave(pin, QStringLiteral("126"));
    EXPECT_EQ(pin->value(), 126);
    // While still typing, the box already stands for the clamped value.
    pin->findChild<QLineEdit*>()->setText(QStringLiteral("999"));
    EXPECT_EQ(pin->currentValue(), 126);
    pin->findChild<QLineEdit*>()->setText(QStringLiteral(""));
    EXPECT_EQ(pin->currentValue(), 1);
}

TEST_F(Windows, IndicatorPressesToggleFlagsAndTheButtonsOpenTheirWindows) {
    rightPress(grid()->Shape[29]);
    EXPECT_EQ(state().model.GreenFlag[1], 0);
    EXPECT_EQ(state().screen.rijschema.indicator[29], kRed);
    rightPress(grid()->Shape[3]);
    EXPECT_EQ(state().model.HoldFlag[3], 1);
    EXPECT_EQ(state().screen.rijschema.indicator[3], kYellow);

    grid()->Button[6]->click();
    EXPECT_TRUE(app->form(19)->isVisible());
    state().screen.rijschema.saveEnabled = true;
    app->syncAll();
    EXPECT_TRUE(grid()->Button[5]->isEnabled());
}

TEST_F(Windows, AMissingSelectionPictureKeepsThePaletteClosed) {
    ASSERT_TRUE(QFile::remove(folder.filePath("VasteData/Wie.bmp")));
    rightPress(grid()->Image[7]);
    EXPECT_EQ(state().editor.SelectedCell, 7);
    EXPECT_FALSE(palette()->isVisible());
    EXPECT_EQ(reporter.messages.size(), 1u);
}

}  // namespace
}  // namespace blokpost::test
