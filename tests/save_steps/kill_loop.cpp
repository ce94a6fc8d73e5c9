// The long run of killed saves: ROUNDS times a program saving six data files
// over and over is ended at a random moment, the next start runs, and every
// file is checked: it holds one save's contents whole, nothing is left beside
// it and no record of a rewrite remains. Every other round the folder refuses
// new files to the saving user, so the files are rewritten in place (that
// needs root, to save as another user). Half the rounds kill the saver
// (SIGKILL) after a random time; the others end it at a random write, sync,
// rename or removal (see stop_at_call.cpp), which lands inside a rewrite far
// more often than a timer can.
//   blokpost_kill_loop SAVE_ONCE ROUNDS
// Prints the rounds run and files checked; exit code 1 on any bad file.

#include "churn_contents.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <fcntl.h>
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
constexpr int kStoppedExitCode = 86;  // as stop_at_call.cpp ends the program
const char* const kFiles[] = {"Schema1Data.txt", "Schema2Data.txt", "DataOpslag.txt",
                              "NaamData.txt",    "AdresData.txt",   "BoekjeRood.txt"};

// Starts the program; its output goes to `output` when one is named.
pid_t spawn(const std::vector<std::string>& arguments, int stopAtCall = 0, const std::string& output = {}) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (!output.empty()) {
            const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, STDOUT_FILENO);
        }
        if (stopAtCall > 0) {
            ::setenv("LD_PRELOAD", STOP_AT_CALL_PRELOAD, 1);
            ::setenv("BLOKPOST_STOP_AT_CALL", std::to_string(stopAtCall).c_str(), 1);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return child;
}

// The exit code, or -signal when a signal ended the child.
int waitFor(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

std::string readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<unreadable>";
}

struct Tally {
    int filesChecked = 0;
    int restored = 0;  // files the start put back as they were
};

// One round; returns the number of bad findings.
int round(const std::string& saveOnce, bool inPlace, std::mt19937& random, Tally& tally) {
    QTemporaryDir root;
    ::chmod(QFile::encodeName(root.path()).constData(), 0755);  // the saving user may enter
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
    const bool byStep = std::uniform_int_distribution<int>(0, 1)(random) == 1;
    const pid_t saver = spawn(churn, byStep ? std::uniform_int_distribution<int>(1, 300)(random) : 0);
    if (!byStep) {
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(200, 60000)(random)));
        ::kill(saver, SIGKILL);
    }
    // A saver that ended otherwise was refused: the round would prove nothing.
    if (const int end = waitFor(saver); end != -SIGKILL && end != kStoppedExitCode) {
        std::printf("the saver ended before it was killed\n");
        return 1;
    }
    const QString told = root.filePath("start.txt");
    // The start runs as the user who saved: the records are theirs.
    std::vector<std::string> start{saveOnce, "start", QFile::encodeName(data).toStdString()};
    if (inPlace) start.push_back("as-nobody");
    if (waitFor(spawn(start, 0, QFile::encodeName(told).toStdString())) != 0) return 1;
    tally.restored += static_cast<int>(QString::fromLocal8Bit(QByteArray::fromStdString(readAll(told))).count("was restored"));

    int bad = 0;
    for (const char* name : kFiles) {
        ++tally.filesChecked;
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
    Tally tally;
    int bad = 0;
    for (int r = 0; r < rounds; ++r) bad += round(argv[1], root && r % 2 == 1, random, tally);
    std::printf("%d rounds of kills (%s), %d files checked, %d put back by the start, %d bad findings\n", rounds,
                root ? "every other one in place" : "beside the files only", tally.filesChecked, tally.restored, bad);
    return bad == 0 ? 0 : 1;
}
