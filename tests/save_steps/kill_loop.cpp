// The long run of killed saves: ROUNDS times a program saving six data files
// over and over is killed (SIGKILL) at a random moment, the next start runs,
// and every file is checked: it holds one save's contents whole, nothing is
// left beside it and no record of a rewrite remains. Every other round the
// folder refuses new files to the saving user, so the files are rewritten in
// place (that needs root, to save as another user).
//   blokpost_kill_loop SAVE_ONCE ROUNDS
// Prints the rounds run and files checked; exit code 1 on any bad file.

#include "churn_contents.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using blokpost::test::churnStart;
using blokpost::test::isChurnContents;

constexpr uid_t kNobody = 65534;
const char* const kFiles[] = {"Schema1Data.txt", "Schema2Data.txt", "DataOpslag.txt",
                              "NaamData.txt",    "AdresData.txt",   "BoekjeRood.txt"};

pid_t spawn(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return child;
}

int waitFor(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<unreadable>";
}

// One round; returns the number of bad findings, counting the files checked.
int round(const std::string& saveOnce, bool inPlace, std::mt19937& random, int& filesChecked) {
    QTemporaryDir root;
    const QString data = root.filePath("VasteData");
    QDir().mkpath(data);
    std::vector<std::string> churn{saveOnce, "churn"};
    for (const char* name : kFiles) {
        const QString path = data + "/" + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return 1;
        file.write(churnStart().data(), static_cast<qint64>(churnStart().size()));
        file.close();
        if (inPlace && ::chown(QFile::encodeName(path).constData(), kNobody, kNobody) != 0) return 1;
        churn.push_back(QFile::encodeName(path).toStdString());
    }
    if (inPlace) churn.push_back("as-nobody");
    const pid_t saver = spawn(churn);
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(200, 60000)(random)));
    ::kill(saver, SIGKILL);
    waitFor(saver);
    if (waitFor(spawn({saveOnce, "start", QFile::encodeName(data).toStdString()})) != 0) return 1;

    int bad = 0;
    for (const char* name : kFiles) {
        ++filesChecked;
        if (!isChurnContents(readAll(data + "/" + name))) {
            std::printf("%s: neither one save's contents nor the other's\n", name);
            ++bad;
        }
    }
    const QStringList left = QDir(data).entryList(QDir::Files | QDir::Hidden);
    const QStringList records = QDir(qEnvironmentVariable("XDG_STATE_HOME") + "/blokpost").entryList(QDir::Files);
    if (left.size() != static_cast<qsizetype>(std::size(kFiles)) || !records.isEmpty()) {
        std::printf("left behind: %s %s\n", qPrintable(left.join(' ')), qPrintable(records.join(' ')));
        ++bad;
    }
    return bad;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: blokpost_kill_loop SAVE_ONCE ROUNDS\n");
        return 2;
    }
    const QTemporaryDir state;
    ::chmod(QFile::encodeName(state.path()).constData(), 01777);
    ::setenv("XDG_STATE_HOME", QFile::encodeName(state.path()).constData(), 1);
    const bool root = ::geteuid() == 0;
    std::mt19937 random(std::random_device{}());
    const int rounds = std::atoi(argv[2]);
    int filesChecked = 0;
    int bad = 0;
    for (int r = 0; r < rounds; ++r) bad += round(argv[1], root && r % 2 == 1, random, filesChecked);
    std::printf("%d rounds of kills (%s), %d files checked, %d bad findings\n", rounds,
                root ? "every other one in place" : "beside the files only", filesChecked, bad);
    return bad == 0 ? 0 : 1;
}
