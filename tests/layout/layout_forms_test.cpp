#include "app/forms/blokpost_app.h"
#include "app/forms/main_window.h"
#include "layout/forms/give_name_window.h"
#include "layout/forms/make_screen_window.h"
#include "layout/forms/read_save_window.h"
#include "layout/layout_test_support.h"
#include "support/test_input.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace blokpost {
namespace {

using test::typeInto;

// The windows of a whole program over an installation folder with the layout files.
struct LayoutForms : test::LayoutProgram {
    LayoutForms() : app(folder.path(), &reporter, std::make_unique<test::RecordingBoard>()) {}
    BlokpostApp app;
    ProgramState& live() { return app.state(); }
};

TEST(LayoutForms, MakeScreenMovesAndShowsTheMainWindowsControl) {
    LayoutForms f;
    auto* screen = f.app.formAs<TForm2>(2);
    auto* main = f.app.formAs<TForm1>(1);
    f.writePicture("Tekeningen/Tek9.bmp", 50, 30, 0x00FF00);
    f.writePicture("VasteData/Lijn.bmp", 89, 25);

    screen->RadioButton[5]->click();
    EXPECT_EQ(f.live().layoutWindows.makeScreen.SelectedElement, "A5");
    EXPECT_EQ(screen->SpinEdit1->value(), f.live().layout.LayoutX[4]);
    EXPECT_EQ(screen->Image1->size(), QSize(50, 30));

    screen->SpinEdit1->setValue(700);
    screen->SpinEdit2->stepBy(3);
    screen->Visible->setChecked(true);
    EXPECT_EQ(main->Image[5]->pos(), QPoint(700, f.live().layout.LayoutY[4]));
    EXPECT_EQ(f.live().layout.LayoutY[4], 40 + 48 * 4 + 3);
    EXPECT_TRUE(main->Image[5]->isVisibleTo(main));
    EXPECT_EQ(f.live().layoutWindows.makeScreen.dot[5], kYellow);
    EXPECT_EQ(f.live().layoutWindows.makeScreen.dot[6], kGray);
    // One group: choosing another element unchecks the first.
    screen->RadioButton[90]->click();
    EXPECT_FALSE(screen->RadioButton[5]->isChecked());
    EXPECT_FALSE(screen->Visible->isChecked());
}

TEST(LayoutForms, ReadSaveButtonsFollowReadEnableAndClose) {
    LayoutForms f;
    auto* window = f.app.formAs<TForm3>(3);
    f.app.showForm(3);
    EXPECT_TRUE(window->Button1->isEnabled());
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_FALSE(window->Button3->isEnabled());

    f.writeFile("Vastedata/DataOpslag.txt", test::LayoutProgram::storeFile());
    window->Button1->click();
    EXPECT_TRUE(f.reporter.messages.empty());
    EXPECT_FALSE(window->isVisible());  // a finished Read closes the window
    EXPECT_TRUE(window->Button3->isEnabled());
    EXPECT_EQ(f.app.formAs<TForm1>(1)->Button14->text(), "V1");

    f.app.showForm(3);
    window->Button3->click();
    EXPECT_TRUE(window->Button2->isEnabled());
    window->close();  // the title bar's close button
    f.app.showForm(3);
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_TRUE(window->Button3->isEnabled());
}

TEST(LayoutForms, GiveANameGridEditsReachTheModelAndTakeItReachesTheGrid) {
    LayoutForms f;
    auto* window = f.app.formAs<TForm19>(19);
    QTableWidget* grid = window->StringGrid1;
    EXPECT_EQ(grid->item(125, 0)->text(), "Pin-126");
    EXPECT_EQ(grid->item(3, 1)->text(), "leeg3");

    grid->item(3, 1)->setText("Sein 4 links");
    EXPECT_EQ(f.live().pinGrid.cell[3][kPinNameColumn], "Sein 4 links");

    window->SpinEdit1->setValue(126);
    window->SpinEdit2->setValue(0);
    window->Button2->click();
    EXPECT_EQ(grid->item(125, 2)->text(), "0");
    EXPECT_EQ(f.live().pins.PinAddress[125], 0);

    window->Button1->click();
    EXPECT_EQ(f.readFile("Vastedata/NaamData.txt").substr(0, 42), "leeg0\r\nleeg1\r\nleeg2\r\nSein 4 links\r\nleeg4\r\n");

    // A cell is edited in a box that refuses letters beyond 8-bit text.
    grid->openPersistentEditor(grid->item(5, 1));
    auto* box = grid->findChild<QLineEdit*>();
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->validator(), nullptr);
    QString typed = QString::fromUtf8("W\u00e9\u20ac");
    int cursor = 3;
    EXPECT_EQ(box->validator()->validate(typed, cursor), QValidator::Invalid);
    typed = QString::fromUtf8("W\u00e9");
    EXPECT_EQ(box->validator()->validate(typed, cursor), QValidator::Acceptable);
}

// Meter names are stored as 8-bit text: shown as the letters they are, and written back byte for byte.
TEST(LayoutForms, MeterNamesOutsideAsciiAreShownAsTheirLettersAndSavedAsTheSameBytes) {
    LayoutForms f;
    std::string store = test::LayoutProgram::storeFile();
    store.replace(store.size() - 8, 8, "Caf\xe9\r\nN\xfcrnberg\r\n");
    f.writeFile("Vastedata/DataOpslag.txt", store);
    auto* readSave = f.app.formAs<TForm3>(3);
    readSave->Button1->click();
    auto* main = f.app.formAs<TForm1>(1);
    EXPECT_EQ(main->Button14->text(), QString::fromUtf8("Caf\u00e9"));
    EXPECT_EQ(main->Button15->text(), QString::fromUtf8("N\u00fcrnberg"));
    EXPECT_EQ(f.app.form(6)->windowTitle(), QString::fromUtf8("Caf\u00e9"));
    EXPECT_EQ(f.app.form(7)->windowTitle(), QString::fromUtf8("N\u00fcrnberg"));

    readSave->Button3->click();
    readSave->Button2->click();
    EXPECT_TRUE(f.readFile("Vastedata/DataOpslag.txt").ends_with("\r\nCaf\xe9\r\nN\xfcrnberg\r\n"));

    // Typed on Make Screen: a letter beyond 8-bit text is refused, the others are stored as one byte each.
    auto* screen = f.app.formAs<TForm2>(2);
    screen->Edit1->clear();
    typeInto(screen->Edit1, QString::fromUtf8("Zo\u00eb\u20ac"));
    EXPECT_EQ(screen->Edit1->text(), QString::fromUtf8("Zo\u00eb"));
    EXPECT_EQ(f.live().MeterName1, "Zo\xeb");
    EXPECT_EQ(main->Button14->text(), QString::fromUtf8("Zo\u00eb"));
}

TEST(LayoutForms, GiveANameHasBoldButtonsAndGroupTitleLikeEveryWindow) {
    LayoutForms f;
    auto* window = f.app.formAs<TForm19>(19);
    for (QPushButton* button : {window->Button1, window->Button2, window->Button3, window->Button4})
        EXPECT_TRUE(button->font().bold()) << button->text().toStdString();
    auto* group = window->findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->font().bold());
    EXPECT_FALSE(window->SpinEdit1->font().bold());
}

}  // namespace
}  // namespace blokpost
