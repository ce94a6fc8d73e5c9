#include "support/app_program.h"
#include "support/test_input.h"
#include "timetable/forms/timetable_editor_window.h"
#include "timetable/forms/timetable_window.h"

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <algorithm>
#include <array>
#include <vector>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

struct EditorWindows : AppProgram {
    EditorWindows() {
        writePicture("VasteData/Bord.bmp", 332, 143, 0x000000);
        state().clock.ClockMinutes = 13 * 60 + 47;
    }
    TForm18& editor() { return *form<TForm18>(18); }
    TForm17& list() { return *form<TForm17>(17); }
};

TEST(TimetableEditorWindow, RowsTypedInAreMadeFinalAndListed) {
    EditorWindows w;
    TForm18& form = w.editor();
    EXPECT_EQ(form.SpinEdit[6]->value(), 2);  // perron starts at the row number
    EXPECT_EQ(form.Edit[4]->text(), "Plaats");
    EXPECT_FALSE(form.Button4->isEnabled());
    EXPECT_EQ(w.list().RichEdit1->toPlainText(), "");

    // Row 2: Freq SpinEdit4, +min SpinEdit5, Naar Edit4, via Edit5.
    typeInto(form.SpinEdit[4], "8");
    typeInto(form.SpinEdit[5], "5");
    typeInto(form.Edit[4], "Zwolle");
    typeInto(form.Edit[5], "Deventer");
    form.Button1->click();

    EXPECT_EQ(form.SpinEdit[4]->value(), 10);  // snapped, and shown
    EXPECT_EQ(w.state().timetable.BoardDestination[2], "Zwolle");
    EXPECT_EQ(w.state().timetable.DepartureMinute[2], 13 * 60 + 55);
    EXPECT_TRUE(form.Button4->isEnabled());
    const QStringList lines = w.list().RichEdit1->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines.front(), "13:55 Spoor 2  Zwolle via Deventer");
    EXPECT_THAT(w.reporter.messages, ::testing::IsEmpty());
}

TEST(TimetableEditorWindow, BookButtonsColourTheLabelAndReportAMissingBook) {
    EditorWindows w;
    TForm18& form = w.editor();
    form.Button2->click();
    EXPECT_THAT(w.reporter.messages, ::testing::ElementsAre("File not found"));
    EXPECT_EQ(form.Label1->palette().color(QPalette::WindowText), QColor(Qt::red));

    QFile book(w.folder.filePath(QStringLiteral("VasteData/BoekjeBlauw.txt")));
    ASSERT_TRUE(book.open(QIODevice::WriteOnly));
    book.write("Emmen\r\nAssen\r\nIC\r\n4\r\n45\r\n75\r\n");
    book.close();
    form.Button3->click();
    EXPECT_EQ(form.Label1->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(form.Edit[1]->text(), "Emmen");
    EXPECT_EQ(form.SpinEdit[1]->value(), 30);  // held at the bound
    EXPECT_EQ(form.SpinEdit[3]->value(), 4);
    EXPECT_TRUE(form.Button4->isEnabled());
}

TEST(TimetableEditorWindow, ALetterBeyondEightBitTextIsRefusedAsItIsTypedAndTheCursorStays) {
    EditorWindows w;
    QLineEdit* naar = w.editor().Edit[1];
    typeInto(naar, QString::fromUtf8("Caf\u20ac\u00e9"));
    EXPECT_EQ(naar->text(), QString::fromUtf8("Caf\u00e9"));
    EXPECT_EQ(w.state().timetableEditor.row[1].Naar, "Caf\xe9");
    naar->setCursorPosition(2);
    QKeyEvent euro(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\u20ac"));
    QCoreApplication::sendEvent(naar, &euro);
    w.app->tick();
    EXPECT_EQ(naar->text(), QString::fromUtf8("Caf\u00e9"));
    EXPECT_EQ(naar->cursorPosition(), 2);
}

TEST(TimetableEditorWindow, EachHeaderWordStandsOverItsColumnAndTabFollowsTheRows) {
    EditorWindows w;
    TForm18& form = w.editor();
    // Left to right: Freq, +min, Naar, via, perron, type.
    const std::array<QWidget*, 6> firstRow{form.SpinEdit[1], form.SpinEdit[2], form.Edit[1],
                                           form.Edit[2],     form.SpinEdit[3], form.Edit[3]};
    const std::array<const char*, 6> words{"Freq", "+min", "Naar", "via", "perron", "type"};
    for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(form.Header[i]->text(), words[i]);
        EXPECT_EQ(form.Header[i]->x(), firstRow[i]->x()) << words[i];
        EXPECT_LE(form.Header[i]->geometry().bottom(), firstRow[i]->y()) << words[i];
        if (i > 0) {
            EXPECT_LT(form.Header[i - 1]->geometry().right(), form.Header[i]->x()) << words[i];
        }
    }

    std::vector<QWidget*> expected;
    for (int r = 1; r <= kLines; ++r)
        for (QWidget* control : {static_cast<QWidget*>(form.SpinEdit[3 * r - 2]), static_cast<QWidget*>(form.SpinEdit[3 * r - 1]),
                                 static_cast<QWidget*>(form.Edit[3 * r - 2]), static_cast<QWidget*>(form.Edit[3 * r - 1]),
                                 static_cast<QWidget*>(form.SpinEdit[3 * r]), static_cast<QWidget*>(form.Edit[3 * r])})
            expected.push_back(control);
    std::vector<QWidget*> chain;
    QWidget* at = form.SpinEdit[1];
    do {
        if (std::find(expected.begin(), expected.end(), at) != expected.end()) chain.push_back(at);
        at = at->nextInFocusChain();
    } while (at != form.SpinEdit[1] && chain.size() < expected.size());
    EXPECT_EQ(chain, expected);
}

}  // namespace
}  // namespace blokpost::test
