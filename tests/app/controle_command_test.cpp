// `blokpost --controle` on installations the demo run does not cover.

#include "app/controle_command.h"
#include "state/model.h"
#include "support/test_program.h"

#include <gtest/gtest.h>

#include <sstream>

namespace blokpost::test {
namespace {

int run(const TestProgram& installation, std::string& printed) {
    std::ostringstream out;
    const int code = RunControle(installation.folder.path(), out);
    printed = out.str();
    return code;
}

// A file that cannot be read would leave the layout unloadable at the
// exhibition: the check fails and names it, it does not pass quietly.
TEST(ControleCommand, AnUnreadableFileIsAFout) {
    TestProgram installation;
    std::string kindsThenNoNumber;
    for (int cell = 0; cell < kCells; ++cell) kindsThenNoNumber += "Pin\r\n";
    installation.writeFile("VasteData/Schema1Data.txt", kindsThenNoNumber + "x\r\n");
    std::string printed;
    EXPECT_EQ(run(installation, printed), 1);
    EXPECT_NE(printed.find("-\t-\tfout\t-\t-\tBestand BoekjeBlauw.txt ontbreekt in de map VasteData: wat erin hoort "
                           "is niet gecontroleerd. Zet het bestand terug in VasteData.\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Schema1Data.txt in de map VasteData is niet te lezen (Invalid numeric"), std::string::npos);
}

}  // namespace
}  // namespace blokpost::test
