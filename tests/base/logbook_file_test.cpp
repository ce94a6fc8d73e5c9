// The logbook's day files, against the real file system: appending, the
// change of day, a folder in another spelling, and files that cannot be
// written (a full disk, a folder that is a file, a FIFO or a link in the
// day file's place).

#include "base/logbook_file.h"
#include "hostile_file_system.h"
#include "state/logbook.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace blokpost::test {
namespace {

struct DayFileProgram : TestProgram {
    DayFileProgram() : TestProgram(8 * 60 + 31) {
        state.logbookFile.setClock([this] { return now; });
    }
    // One entry, waited for: the next entry then knows how it went.
    void log(const std::string& text) {
        WriteLogLine(state, text);
        state.logbookFile.settle();
    }
    QDateTime now{QDate(2026, 12, 7), QTime(11, 31, 5)};
};

TEST(LogbookFile, EveryEntryIsAppendedToTheDayFileWithTheComputersTime) {
    DayFileProgram p;
    p.writeFile("Logboek/2026-12-07.txt", "09:00:00  6:00  earlier today\r\n");
    p.log("Wis3A");
    p.now = p.now.addSecs(2);
    p.log("Lijn-A gestart");
    EXPECT_EQ(p.readFile("Logboek/2026-12-07.txt"),
              "09:00:00  6:00  earlier today\r\n"
              "11:31:05  8:31  Wis3A\r\n"
              "11:31:07  8:31  Lijn-A gestart\r\n");
    EXPECT_EQ(p.state.logbookFile.entries(), 2u);
    EXPECT_TRUE(p.reporter.messages.empty());
}

TEST(LogbookFile, PastMidnightANewDayFileBeginsAndYesterdaysStaysAsItWas) {
    DayFileProgram p;
    p.now = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59));
    p.log("Wis1A");
    p.now = p.now.addSecs(1);
    p.log("Wis1B");
    EXPECT_EQ(p.readFile("Logboek/2026-12-31.txt"), "23:59:59  8:31  Wis1A\r\n");
    EXPECT_EQ(p.readFile("Logboek/2027-01-01.txt"), "00:00:00  8:31  Wis1B\r\n");
}

TEST(LogbookFile, AFolderSpelledOtherwiseIsTheLogbookFolder) {
    DayFileProgram p;
    QDir(p.folder.path()).mkdir(QStringLiteral("LOGBOEK"));
    p.log("Sein5G");
    EXPECT_EQ(p.readFile("LOGBOEK/2026-12-07.txt"), "11:31:05  8:31  Sein5G\r\n");
    EXPECT_EQ(QDir(p.folder.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"LOGBOEK"});
}

TEST(LogbookFile, ADayFileRemovedWhileTheProgramRunsIsMadeAgain) {
    DayFileProgram p;
    p.log("Wis1A");
    ASSERT_TRUE(QFile::remove(p.folder.filePath(QStringLiteral("Logboek/2026-12-07.txt"))));
    p.log("Wis1B");
    EXPECT_EQ(p.readFile("Logboek/2026-12-07.txt"), "11:31:05  8:31  Wis1B\r\n");
}

// What may stand in the day file's place, and how the operator is told of it.
struct Impostor {
    const char* kind;
    void (*make)(const QString& path);
};

const Impostor kImpostors[] = {
    {"a FIFO (named pipe)", [](const QString& path) { ::mkfifo(QFile::encodeName(path).constData(), 0644); }},
    {"a symbolic link", [](const QString& path) { QFile::link("/dev/full", path); }},
    // A link to a file of the operator's: the lines would go into it unnoticed.
    {"a symbolic link",
     [](const QString& path) {
         QFile own(path + ".eigen");
         (void)own.open(QIODevice::WriteOnly);
         QFile::link(path + ".eigen", path);
     }},
    {"a folder", [](const QString& path) { QDir().mkdir(path); }},
};

void removeAny(const QString& path) {
    if (!QFile::remove(path)) QDir().rmdir(path);
}

// No regular file in the day file's place: opened without waiting, refused
// with what it is, told once (at the entry after); the logbook window keeps
// every entry, and once a file can be made the entries are written again; a
// later refusal is told again.
TEST(LogbookFile, WhatIsNoRegularFileIsRefusedOnceWithWhatItIsAndTheLogbookGoesOn) {
    for (const Impostor& impostor : kImpostors) {
        SCOPED_TRACE(impostor.kind);
        DayFileProgram p;
        QDir(p.folder.path()).mkdir(QStringLiteral("Logboek"));
        const QString day = p.folder.filePath(QStringLiteral("Logboek/2026-12-07.txt"));
        impostor.make(day);
        const bool returned = returnsWithoutBlocking(
            [&] {
                p.log("Wis1A");
                p.log("Wis1B");
                p.log("Wis2A");
            },
            {day});
        ASSERT_TRUE(returned) << "the logbook waited on the FIFO";
        ASSERT_EQ(p.reporter.messages.size(), 1u);
        EXPECT_EQ(p.reporter.messages[0], std::string("kan logboek Logboek/2026-12-07.txt niet openen (it is ") +
                                              impostor.kind +
                                              "); de baan rijdt door, het logboek probeert het opnieuw");
        EXPECT_EQ(p.state.screen.display.logLines.size(), 3u);

        removeAny(day);
        p.log("Wis2B");
        p.log("Wis3A");
        EXPECT_EQ(p.readFile("Logboek/2026-12-07.txt"), "11:31:05  8:31  Wis2B\r\n11:31:05  8:31  Wis3A\r\n");
        EXPECT_EQ(p.reporter.messages.size(), 1u);

        ASSERT_TRUE(QFile::remove(day));
        impostor.make(day);
        p.log("Wis3B");
        p.log("Wis4A");
        EXPECT_EQ(p.reporter.messages.size(), 2u);
        removeAny(day);
    }
}

// A disk that fills up in the middle of a line: the half line is taken back,
// so the day file keeps whole lines only.
TEST(LogbookFile, ALineCutShortByAFullDiskIsTakenBack) {
    DayFileProgram p;
    const QString folder = p.folder.filePath(QStringLiteral("Logboek"));
    QDir().mkpath(folder);
    const ScratchTmpfs disk(folder, "size=4k");
    if (!disk.mounted()) GTEST_SKIP() << disk.error();
    const std::string nearlyFull(4090, 'x');  // 6 bytes left on the one page
    p.writeFile("Logboek/2026-12-07.txt", nearlyFull);
    p.log("Wis3A");
    p.log("Wis3B");
    const std::string held = p.readFile("Logboek/2026-12-07.txt");
    EXPECT_EQ(held, nearlyFull);
    ASSERT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_NE(p.reporter.messages[0].find("No space left on device"), std::string::npos);
}

TEST(LogbookFile, AFileWhereTheFolderShouldBeIsReportedOnce) {
    DayFileProgram p;
    p.writeFile("Logboek", "not a folder");
    p.log("Wis1A");
    p.log("Wis1B");
    ASSERT_EQ(p.reporter.messages.size(), 1u);
    EXPECT_EQ(p.reporter.messages[0].rfind("kan logboek Logboek/2026-12-07.txt niet openen (Not a directory)", 0), 0u)
        << p.reporter.messages[0];
    EXPECT_EQ(p.readFile("Logboek"), "not a folder");
}

}  // namespace
}  // namespace blokpost::test
