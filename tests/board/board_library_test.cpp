#include "board/board_choice.h"
#include "board/library_board.h"

#include "app/main_cycle.h"
#include "state/program_state.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

using ::testing::ElementsAre;

// Installs a board library into a fresh installation's data folder.
QString installLibrary(const QTemporaryDir& root, const char* built) {
    QDir(root.path()).mkdir("VasteData");
    const QString target = root.filePath(QString("VasteData/") + QFileInfo(boardLibraryName()).fileName());
    QFile::copy(built, target);
    return target;
}

std::vector<std::string> readLines(const QString& path) {
    QFile file(path);
    std::vector<std::string> lines;
    if (!file.open(QIODevice::ReadOnly)) return lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty()) lines.push_back(line.toStdString());
    return lines;
}

TEST(BoardLibrary, ReceivesEveryCallOfTheCycleInOrder) {
    QTemporaryDir root;
    installLibrary(root, FAKE_K8055D_PATH);
    const QString log = root.filePath("calls.log");
    qputenv("FAKE_K8055D_LOG", log.toLocal8Bit());

    std::string problem;
    auto board = chooseBoard(DataPaths(root.path()), problem);
    ASSERT_TRUE(problem.empty()) << problem;
    ASSERT_NE(dynamic_cast<LibraryBoard*>(board.get()), nullptr);

    RecordingReporter reporter;
    ProgramState state(*board, reporter, DataPaths(root.path()));
    FormCreate(state, 600);
    Kaart(state);
    for (int i = 0; i < 8; ++i) Hoofdlus(state);
    qunsetenv("FAKE_K8055D_LOG");

    EXPECT_THAT(reporter.messages, ElementsAre("Kaart gevonden"));
    EXPECT_THAT(readLines(log),
                ElementsAre("OpenDevice(0)", "OutputAllAnalog(0,255)", "ReadAllDigital()", "OutputAllAnalog(255,255)",
                            "ReadAllDigital()", "OutputAllAnalog(255,0)", "ReadAnalogChannel(1)",
                            "ReadAnalogChannel(2)", "ReadAllDigital()", "OutputAllAnalog(0,0)", "ReadAllDigital()",
                            "ClearAllDigital()"));
    // The library answers 5 for every read: sensors 1 and 3 of each group.
    EXPECT_EQ(state.model.SensorState[1], 1);
    EXPECT_EQ(state.model.SensorState[2], 0);
    EXPECT_EQ(state.model.SensorState[18], 1);
}

TEST(BoardLibrary, ALibraryThatCannotRunIsRefusedAtLoadAndTheOwnDriverTakesOver) {
    struct Case {
        const char* library;
        const char* named;
    };
    const Case cases[] = {{INCOMPLETE_K8055D_PATH, "ReadAnalogChannel"},
                          {UNRESOLVED_K8055D_PATH, "blokpost_test_function_nobody_provides"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library);
        QTemporaryDir root;
        installLibrary(root, c.library);
        std::string problem;
        auto board = chooseBoard(DataPaths(root.path()), problem);
        EXPECT_THAT(problem, testing::HasSubstr(c.named));
        EXPECT_THAT(problem, testing::HasSubstr("het programma gaat verder met zijn eigen stuurprogramma"));
        ASSERT_NE(dynamic_cast<DriverBoard*>(board.get()), nullptr);
        EXPECT_EQ(board->ReadAllDigital(), 0);
    }
}

TEST(BoardLibrary, WithoutALibraryTheOwnDriverSimulatesTheLayout) {
    QTemporaryDir root;
    std::string problem;
    auto board = chooseBoard(DataPaths(root.path()), problem);
    EXPECT_TRUE(problem.empty());
    auto* driver = dynamic_cast<DriverBoard*>(board.get());
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(driver->OpenDevice(0), -1);
    EXPECT_FALSE(driver->realBoardOpen());
}

}  // namespace
}  // namespace blokpost::test
