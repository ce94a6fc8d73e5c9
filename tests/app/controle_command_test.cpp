// `blokpost --controle` on installations the demo run does not cover.

#include "app/controle_command.h"
#include "state/model.h"
#include "support/test_program.h"

#include <gtest/gtest.h>

#include <sstream>

namespace blokpost::test {
namespace {

int run(const TestProgram& installation, std::string& printed, std::vector<const char*> args) {
    std::ostringstream out;
    const auto code = RunControleCommand(static_cast<int>(args.size()), const_cast<char**>(args.data()),
                                         installation.folder.path(), out);
    printed = out.str();
    return code ? *code : -1;
}

// A file that cannot be read would leave the layout unloadable at the
// exhibition: the check fails and names it, it does not pass quietly.
TEST(ControleCommand, AnUnreadableFileIsAFoutAndOnlyTheOptionStartsTheCheck) {
    TestProgram installation;
    std::string kindsThenNoNumber;
    for (int cell = 0; cell < kCells; ++cell) kindsThenNoNumber += "Pin\r\n";
    installation.writeFile("VasteData/Schema1Data.txt", kindsThenNoNumber + "x\r\n");
    std::string printed;
    EXPECT_EQ(run(installation, printed, {"blokpost", "--controle"}), 1);
    EXPECT_NE(printed.find("-\t-\tfout\t-\t-\tVastedata/BoekjeBlauw.txt: File not found\n"), std::string::npos)
        << printed;
    EXPECT_NE(printed.find("VasteData/Schema1Data.txt: Invalid numeric input"), std::string::npos) << printed;

    EXPECT_EQ(run(installation, printed, {"blokpost"}), -1);
    EXPECT_EQ(run(installation, printed, {"blokpost", "--controle-niet"}), -1);
}

}  // namespace
}  // namespace blokpost::test
