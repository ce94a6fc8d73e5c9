// One program per layout folder, with the real program in processes of its
// own: a second start (of this user or another), the check beside it, and a
// start after the first copy was killed with SIGKILL.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace blokpost::test {
namespace {

constexpr uid_t kNobody = 65534;
constexpr int kLongEnoughMs = 120000;  // a start under the sanitizers on a loaded machine

struct Layout {
    Layout() {
        ::chmod(QFile::encodeName(folder.path()).constData(), 0755);  // another user may look in
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        ::chmod(QFile::encodeName(otherRuntime.path()).constData(), 0700);
        (void)::chown(QFile::encodeName(otherRuntime.path()).constData(), kNobody, kNobody);
    }
    // The program started in the folder, as this user or as nobody.
    std::unique_ptr<QProcess> start(const QStringList& arguments, bool asNobody = false) const {
        auto program = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ASAN_OPTIONS", "detect_leaks=0");
        environment.insert("XDG_RUNTIME_DIR", asNobody ? otherRuntime.path() : runtime.path());
        program->setProcessEnvironment(environment);
        program->setWorkingDirectory(folder.path());
        if (asNobody)
            program->setChildProcessModifier([] {
                if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(126);
            });
        program->start(BLOKPOST_PATH, arguments);
        program->waitForStarted();
        return program;
    }
    // Waits until the first copy holds the folder.
    bool held() const {
        QElapsedTimer waited;
        waited.start();
        while (!QFile::exists(folder.filePath(".blokpost.lock")) && waited.elapsed() < kLongEnoughMs)
            QThread::msleep(20);
        return QFile::exists(folder.filePath(".blokpost.lock"));
    }
    QTemporaryDir folder, runtime, otherRuntime;
};

// Everything the program wrote on its terminal once `said` is among it (or it ended).
std::string waitUntilSaid(QProcess& program, const std::string& said) {
    std::string output;
    QElapsedTimer waited;
    waited.start();
    while (output.find(said) == std::string::npos && waited.elapsed() < kLongEnoughMs &&
           program.state() != QProcess::NotRunning) {
        program.waitForReadyRead(1000);
        output += program.readAllStandardError().toStdString() + program.readAllStandardOutput().toStdString();
    }
    program.waitForFinished(1000);
    return output + program.readAllStandardError().toStdString() + program.readAllStandardOutput().toStdString();
}

struct SecondStart {
    const char* who;
    QStringList arguments;
    bool asNobody;
    const char* said;  // empty: must not say that the program runs
};

TEST(OneCopy, ASecondStartOnTheFolderBringsTheRunningOneForwardAndEnds) {
    Layout layout;
    const auto first = layout.start({});
    ASSERT_TRUE(layout.held());
    const SecondStart starts[] = {
        {"the same user", {}, false, "Blokpost draait al in "},
        {"the check beside it", {"--controle"}, false, ""},
        {"another user", {}, true, "maar dat programma is niet te bereiken"},
    };
    for (const SecondStart& second : starts) {
        SCOPED_TRACE(second.who);
        if (second.asNobody && ::geteuid() != 0) continue;  // acting as another user needs root
        const auto start = layout.start(second.arguments, second.asNobody);
        const std::string said = waitUntilSaid(*start, *second.said ? second.said : "<its end>");
        if (*second.said) {
            EXPECT_NE(said.find(second.said), std::string::npos) << said;
        } else {
            EXPECT_EQ(said.find("draait al"), std::string::npos) << said;
        }
        if (!second.asNobody) {
            // Ended by itself; told where the running one is brought forward.
            EXPECT_EQ(start->state(), QProcess::NotRunning);
            if (*second.said) {
                EXPECT_NE(said.find("dat venster staat nu vooraan"), std::string::npos) << said;
            }
        }
        start->kill();  // another user's start shows its message until it is closed
        start->waitForFinished();
    }
    EXPECT_FALSE(first->waitForFinished(100)) << "the running copy ended";
    first->kill();
    first->waitForFinished();
}

TEST(OneCopy, TheLockOfAKilledCopyDoesNotKeepTheNextStartOut) {
    Layout layout;
    const auto first = layout.start({});
    ASSERT_TRUE(layout.held());
    first->kill();  // SIGKILL: nothing of it is cleaned up
    first->waitForFinished();
    ASSERT_TRUE(QFile::exists(layout.folder.filePath(".blokpost.lock")));

    const auto next = layout.start({"--proefrit", "2"});
    const std::string said = waitUntilSaid(*next, "proefrit van 2 cycli gereden");
    EXPECT_NE(said.find("proefrit van 2 cycli gereden"), std::string::npos) << said;
    EXPECT_EQ(next->exitCode(), 0);
    EXPECT_FALSE(QFile::exists(layout.folder.filePath(".blokpost.lock"))) << "left at a normal end";
}

}  // namespace
}  // namespace blokpost::test
