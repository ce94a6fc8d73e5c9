// The check in the Rijschema: by hand with "Controle", by itself after a
// load, and a click on a finding marking its cell.

#include "check/forms/controle_window.h"
#include "schedule/forms/rijschema_window.h"
#include "support/app_program.h"
#include "support/test_input.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

struct ControleInRijschema : ::testing::Test, AppProgram {
    TForm4* grid() { return form<TForm4>(4); }
    ControleWindow* controle() { return grid()->controleWindow(); }
    // What a variant load does to the model, without the icons of the grid.
    void load(const char* kind, int operand) {
        state().model.StepKind[3][1] = kind;
        state().model.StepOperand[3][1] = operand;
        ++state().editor.LoadsDone;
        app->syncAll();
    }
    void clickRow(int row) {
        QListWidget* list = controle()->list;
        const QPoint at = list->visualItemRect(list->item(row)).center();
        sendMouse(list->viewport(), QEvent::MouseButtonPress, Qt::LeftButton, at);
        sendMouse(list->viewport(), QEvent::MouseButtonRelease, Qt::LeftButton, at);
    }
};

TEST_F(ControleInRijschema, AFoutAfterALoadIsToldOnceBesideTheGridAndAClickMarksItsCell) {
    load(kind::MemRead, 7);
    ASSERT_TRUE(controle()->isVisible());
    EXPECT_TRUE(reporter.messages.empty()) << "no message box in the way of the layout";
    EXPECT_TRUE(controle()->summary->text().contains(QStringLiteral("1 fout, 1 waarschuwing")));
    EXPECT_TRUE(controle()->summary->text().contains(QStringLiteral("Eerste fout, lijn C stap 1: MEM ? 7")));
    EXPECT_TRUE(controle()->list->item(0)->text().startsWith(QStringLiteral("fout, lijn C stap 1: MEM ? 7")));

    clickRow(0);
    EXPECT_FALSE(grid()->cellMark->isHidden());
    EXPECT_EQ(grid()->cellMark->geometry().center(), grid()->Image[cellNumber(3, 1)]->geometry().center());

    // The same fout after the next load is not told again; another one is.
    // New findings take the old mark away.
    controle()->hide();
    load(kind::MemRead, 7);
    EXPECT_FALSE(controle()->isVisible());
    EXPECT_TRUE(grid()->cellMark->isHidden());
    load(kind::Sensor, 30);
    EXPECT_TRUE(controle()->isVisible());

    // A sound model: "Controle" opens the window all the same, with nothing found.
    controle()->hide();
    load(kind::Leeg, 0);
    EXPECT_FALSE(controle()->isVisible());
    grid()->Button[7]->click();
    EXPECT_TRUE(controle()->isVisible());
    // Before the layout is read, that alone is said.
    EXPECT_EQ(controle()->list->count(), 1);
    EXPECT_EQ(controle()->summary->text(), QStringLiteral("geen fouten, 1 waarschuwing, geen opmerkingen"));
    EXPECT_TRUE(controle()->list->item(0)->text().startsWith(QStringLiteral("waarschuwing, de baan: De baan is nog niet gelezen")));
}

}  // namespace
}  // namespace blokpost::test
