// The start: the command line read in one place, and the layout folder made
// ready without adding anything to a layout that is there.

#include "app/forms/command_line.h"
#include "app/start_folder.h"

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
        int exitCode;  // -1: the program goes on
        int trialCycles;
        const char* folder;
        const char* says;
    } cases[] = {
        {{"--proefrit=3"}, -1, 3, "", ""},
        {{"--proefrit", "3", "Mijn baan"}, -1, 3, "Mijn baan", ""},
        {{"-platform", "offscreen", "--", "-baan"}, -1, 0, "-baan", ""},
        {{"--proefrit=3x"}, 2, 0, "", "not a number of cycles from 1 to 86400: 3x"},
        {{"--proefrit"}, 2, 0, "", "a number of cycles is missing after: --proefrit"},
        {{"--onbekend", "--help"}, 2, 0, "", "unknown option: --onbekend"},
        {{"-platform"}, 2, 0, "", "a value is missing after: -platform"},
        {{"een", "twee"}, 2, 0, "", "one folder only, not also: twee"},
        {{"-h"}, 0, 0, "", "Usage: blokpost [OPTION...] [FOLDER]"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"blokpost"};
        argv.insert(argv.end(), c.words.begin(), c.words.end());
        std::ostringstream out, err;
        const CommandLine command = readCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
        const std::string said = out.str() + err.str();
        SCOPED_TRACE(c.words.front());
        EXPECT_EQ(command.exitCode.value_or(-1), c.exitCode);
        if (c.exitCode < 0) {
            EXPECT_EQ(command.trialCycles, c.trialCycles);
            EXPECT_EQ(command.folder.toStdString(), c.folder);
        }
        EXPECT_NE(said.find(c.says), std::string::npos) << said;
    }
}

// Stand-ins for the two tools that lay out the demo: each leaves its mark in
// the folder it is given, or fails as a full disk would.
class StartFolderTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tools_.isValid() && home_.isValid());
        tool("blokpost-pictures", "touch \"$1/pictures\"");
        tool("blokpost-demo", "touch \"$1/demo\"");
    }
    void tool(const char* name, const char* body) {
        QFile script(tools_.filePath(QLatin1String(name)));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QByteArray("#!/bin/sh\n") + body + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString prepare(const QString& relative) { return prepareStartFolder(home_.filePath(relative), tools_.path()); }
    QStringList entries(const QString& relative) const {
        return QDir(home_.filePath(relative)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir tools_, home_;
};

// Only a new or empty folder gets the demo; the operator's layout, even
// with its files gone, gets nothing added.
TEST_F(StartFolderTest, TheDemoGoesOnlyIntoANewOrEmptyFolder) {
    EXPECT_EQ(prepare("Nieuw/Baan"), "");
    EXPECT_EQ(entries("Nieuw/Baan"), QStringList({"demo", "pictures"}));

    ASSERT_TRUE(QDir(home_.path()).mkdir("Leeg"));
    EXPECT_EQ(prepare("Leeg"), "");
    EXPECT_EQ(entries("Leeg"), QStringList({"demo", "pictures"}));

    ASSERT_TRUE(QDir(home_.path()).mkpath("Eigen/VasteData"));
    EXPECT_EQ(prepare("Eigen"), "");
    EXPECT_EQ(entries("Eigen"), QStringList({"VasteData"}));
    EXPECT_TRUE(entries("Eigen/VasteData").isEmpty());
}

// A folder that cannot be used or laid out is told, never started in.
TEST_F(StartFolderTest, AFolderThatCannotBeUsedSaysWhy) {
    QFile file(home_.filePath("Blokpost"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_NE(prepare("Blokpost").indexOf("is een bestand, geen map"), -1);
    EXPECT_NE(prepare("Blokpost/Baan").indexOf("kan niet worden gemaakt: Not a directory"), -1);
    ASSERT_TRUE(QFile::link(home_.filePath("Weg"), home_.filePath("Koppeling")));
    EXPECT_NE(prepare("Koppeling").indexOf("maar dat bestaat niet"), -1);

    tool("blokpost-demo", "echo 'VasteData/Schema1Data.txt: No space left on device' >&2; exit 1");
    const QString problem = prepare("Vol");
    EXPECT_NE(problem.indexOf("De voorbeeldbaan kan niet in de nieuwe map"), -1) << problem.toStdString();
    EXPECT_NE(problem.indexOf("No space left on device"), -1) << problem.toStdString();
}

}  // namespace
}  // namespace blokpost::test
