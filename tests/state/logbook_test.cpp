#include "app/forms/logbook_window.h"
#include "state/logbook.h"
#include "support/app_program.h"

#include <QTextEdit>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

TEST(Logbook, KeepsTheFourteenNewestEntriesNewestFirst) {
    TestProgram p(9 * 60 + 5);
    for (int i = 1; i <= 15; ++i) WriteLogLine(p.state, "entry " + std::to_string(i));
    const auto& lines = p.state.screen.display.logLines;
    ASSERT_EQ(lines.size(), kLogLines);
    EXPECT_EQ(lines.front(), "9:05  entry 15");
    EXPECT_EQ(lines.back(), "9:05  entry 2");
}

TEST(Logbook, StampsTheHourOfTheDayAndTwoDigitMinutes) {
    TestProgram p;
    const std::pair<int, const char*> stamps[] = {
        {0, "0:00  x"}, {14 * 60 + 30, "14:30  x"}, {1439, "23:59  x"}, {1500, "1:00  x"}, {600 + 9, "10:09  x"}};
    for (const auto& [minutes, expected] : stamps) {
        p.state.clock.ClockMinutes = minutes;
        WriteLogLine(p.state, "x");
        EXPECT_EQ(p.state.screen.display.logLines.front(), expected);
    }
    WriteLogLine(p.state, "");
    EXPECT_EQ(p.state.screen.display.logLines.front(), "10:09  ");
}

TEST(LogbookWindow, ShowsTheEntriesReadOnly) {
    AppProgram program;
    program.state().clock.ClockMinutes = 8 * 60;
    WriteLogLine(program.state(), "Lijn-A gestart");
    WriteLogLine(program.state(), "leeg4");
    program.app->syncAll();
    auto* box = program.app->form(20)->findChild<QTextEdit*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("8:00  leeg4\n8:00  Lijn-A gestart"));
    EXPECT_FALSE(box->isEnabled());
}

}  // namespace
}  // namespace blokpost::test
