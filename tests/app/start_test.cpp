// The start: the command line read in one place; nothing added to a layout that is there.

#include "app/forms/command_line.h"
#include "app/start_folder.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace blokpost::test {
namespace {

TEST(CommandLine, EveryOptionIsReadOrRefusedWithTwo) {
    const struct {
        std::vector<const char*> words;
        int exitCode;  // -1: the program goes on, with these cycles and folder
        int trialCycles;
        const char* folderOrSaid;
    } cases[] = {
        {{"--proefrit=3"}, -1, 3, ""},
        {{"--proefrit", "3", "Mijn baan"}, -1, 3, "Mijn baan"},
        {{"-platform", "offscreen", "--", "-baan"}, -1, 0, "-baan"},
        {{"--proefrit=3x"}, 2, 0, "not a number of cycles from 1 to 86400: 3x"},
        {{"--proefrit"}, 2, 0, "a number of cycles is missing after: --proefrit"},
        {{"--onbekend", "--help"}, 2, 0, "unknown option: --onbekend"},
        {{"een", "twee"}, 2, 0, "one folder only, not also: twee"},
        {{"-h"}, 0, 0, "Usage: blokpost [OPTION...] [FOLDER]"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"blokpost"};
        argv.insert(argv.end(), c.words.begin(), c.words.end());
        std::ostringstream said;
        const CommandLine command = readCommandLine(static_cast<int>(argv.size()), argv.data(), said, said);
        SCOPED_TRACE(c.words.front());
        EXPECT_EQ(command.exitCode.value_or(-1), c.exitCode);
        if (c.exitCode >= 0) EXPECT_NE(said.str().find(c.folderOrSaid), std::string::npos) << said.str();
        else EXPECT_EQ(std::make_pair(command.trialCycles, command.folder.toStdString()),
                       std::make_pair(c.trialCycles, std::string(c.folderOrSaid)));
    }
}

// Stand-ins for the two tools that lay out the demo: each leaves its mark in
// the folder it is given, or fails as a full disk would.
struct StartFolder : testing::Test {
    void tool(const char* name, const char* body) {
        writeBytes(tools.filePath(name), std::string("#!/bin/sh\n") + body + "\n");
        QFile::setPermissions(tools.filePath(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString prepare(const QString& relative) { return prepareStartFolder(home.filePath(relative), tools.path()); }
    QStringList entries(const QString& relative) const {
        return QDir(home.filePath(relative)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir tools, home;
};

// Only a new or empty folder gets the demo; the operator's layout, even with
// its files gone, gets nothing added. A folder that cannot be used or laid
// out is told, never started in.
TEST_F(StartFolder, TheDemoGoesOnlyIntoANewOrEmptyFolderAndAFolderThatCannotBeUsedSaysWhy) {
    tool("blokpost-pictures", "touch \"$1/pictures\"");
    tool("blokpost-demo", "if [ \"${1##*/}\" = Vol ]; then echo 'VasteData/Schema1Data.txt: No space left on device' >&2; "
                          "exit 1; fi; touch \"$1/demo\"");
    ASSERT_TRUE(QDir(home.path()).mkpath("Leeg") && QDir(home.path()).mkpath("Eigen/VasteData"));
    writeBytes(home.filePath("Blokpost"), "");
    ASSERT_TRUE(QFile::link(home.filePath("Weg"), home.filePath("Koppeling")));
    // Says nothing (and is started in, holding `entries`) or says why not.
    const struct { const char* folder; const char* says; QStringList entries; } cases[] = {
        {"Nieuw/Baan", "", {"demo", "pictures"}},
        {"Leeg", "", {"demo", "pictures"}},
        {"Eigen", "", {"VasteData"}},
        {"Blokpost", "'%1' is een bestand, geen map", {}},
        {"Blokpost/Baan", "De map '%1' kan niet worden gemaakt: Not a directory", {}},
        {"Koppeling", "maar dat bestaat niet", {}},
        {"Vol", "De voorbeeldbaan kan niet in de nieuwe map '%1' worden gezet: VasteData/Schema1Data.txt: No space", {}},
    };
    for (const auto& c : cases) {
        const QString problem = prepare(c.folder);
        if (*c.says) {
            EXPECT_TRUE(problem.contains(QString::fromUtf8(c.says).arg(home.filePath(c.folder)))) << problem.toStdString();
        } else {
            EXPECT_EQ(problem, "");
            EXPECT_EQ(entries(c.folder), c.entries) << c.folder;
        }
    }
    EXPECT_TRUE(entries("Eigen/VasteData").isEmpty());
}

}  // namespace
}  // namespace blokpost::test
