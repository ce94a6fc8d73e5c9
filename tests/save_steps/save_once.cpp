// A program that does one thing the way the program does it, for the tests
// that stop it at every step (see stop_at_call.cpp):
//   save_once save FILE LENGTH LETTER [as-nobody]
//       replaces FILE with LENGTH bytes of LETTER, as another user if asked;
//       the layout folder is the one above FILE's folder
//   save_once start FOLDER [as-nobody]
//       what the program does at start for its data folder FOLDER (in the
//       layout folder above it); every message to the operator is printed on
//       a line of its own
//   save_once logbook ROOT ENTRIES [midnight]
//       the start, then ENTRIES logbook lines into the day file below ROOT;
//       with midnight, the lines come just before midnight and one more
//       right after it, handed over without waiting
//   save_once churn FILE... [as-nobody]
//       saves the files over and over, each time with contents(round), until
//       it is killed
// Exit code 0 when it got through, 1 when a save was refused.

#include "app/saved_files.h"
#include "base/logbook_file.h"
#include "base/paths.h"
#include "base/reporter.h"
#include "base/rewrite_journal.h"
#include "base/stored_file.h"
#include "churn_contents.h"

#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class PrintingReporter : public blokpost::Reporter {
public:
    void message(const std::string& text) override { std::printf("%s\n", text.c_str()); }
    bool confirm(const std::string&) override { return true; }
};

bool becomeNobody() {
    constexpr uid_t kNobody = 65534;
    return ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
}

// Root again: the leak check at exit cannot look into a process acting as another user.
void becomeRootAgain() {
    (void)::seteuid(0);
    (void)::setegid(0);
}

// The folder above the folder of `path`.
QString layoutOf(const QString& path) { return QFileInfo(QFileInfo(path).path()).path(); }

int start(const QString& dataFolder, bool asNobody) {
    if (asNobody && !becomeNobody()) return 2;
    PrintingReporter reporter;
    blokpost::prepareStoredFiles(QFileInfo(dataFolder).path(), blokpost::SavedFiles(), reporter);
    if (asNobody) becomeRootAgain();
    return 0;
}

int save(const QString& file, std::size_t length, char letter, bool asNobody) {
    blokpost::setLayoutFolder(layoutOf(file).toStdString());
    if (asNobody && !becomeNobody()) return 2;
    int result = 0;
    try {
        blokpost::replaceStoredFile(file, std::string(length, letter));
    } catch (const blokpost::OperationError& failure) {
        std::printf("%s\n", failure.what());
        result = 1;
    }
    if (asNobody) becomeRootAgain();
    return result;
}

// Saves every file again and again; never returns.
int churn(const std::vector<QString>& files, bool asNobody) {
    blokpost::setLayoutFolder(layoutOf(files.front()).toStdString());
    if (asNobody && !becomeNobody()) return 2;
    for (unsigned round = 1;; ++round)
        for (const QString& file : files) {
            try {
                blokpost::replaceStoredFile(file, blokpost::test::churnContents(round));
            } catch (const blokpost::OperationError& failure) {
                std::printf("%s\n", failure.what());
                return 1;
            }
        }
}

int logbook(const QString& root, int entries, bool midnight) {
    PrintingReporter reporter;
    blokpost::prepareStoredFiles(root, blokpost::SavedFiles(), reporter);
    blokpost::LogbookFile file;
    const blokpost::DataPaths paths(root);
    QDateTime now(QDate(2026, 12, 31), QTime(23, 59, 59));
    if (midnight) file.setClock([&now] { return now; });
    for (int entry = 0; entry < entries; ++entry) file.append(paths, reporter, "Wis" + std::to_string(entry));
    if (!midnight) file.settle();
    now = now.addSecs(1);
    file.append(paths, reporter, "laatste");  // tells what became of the ones before
    file.settle();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "save" && argc >= 5)
        return save(QString::fromLocal8Bit(argv[2]), std::strtoul(argv[3], nullptr, 10), argv[4][0],
                    argc > 5 && std::string(argv[5]) == "as-nobody");
    if (mode == "start" && argc >= 3)
        return start(QString::fromLocal8Bit(argv[2]), argc > 3 && std::string(argv[3]) == "as-nobody");
    if (mode == "churn" && argc > 2) {
        std::vector<QString> files;
        for (int i = 2; i < argc; ++i)
            if (std::string(argv[i]) != "as-nobody") files.push_back(QString::fromLocal8Bit(argv[i]));
        return churn(files, std::string(argv[argc - 1]) == "as-nobody");
    }
    if (mode == "logbook" && argc >= 4)
        return logbook(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), argc > 4 && std::string(argv[4]) == "midnight");
    std::fprintf(stderr, "usage: save_once save FILE LENGTH LETTER [as-nobody] | start FOLDER [as-nobody] | logbook ROOT N [midnight] | churn FILE... [as-nobody]\n");
    return 2;
}
