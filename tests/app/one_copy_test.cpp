// One program per layout folder, with the program itself started again
// beside a running copy (by this user, by another, as the check) and after
// that copy was killed.

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace blokpost::test {
namespace {

struct Layout {
    Layout() { ::chmod(QFile::encodeName(folder.path()).constData(), 0755); }  // another user may look in
    std::unique_ptr<QProcess> start(const QStringList& arguments, bool asNobody = false) const {
        auto program = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ASAN_OPTIONS", "detect_leaks=0");
        environment.remove("XDG_RUNTIME_DIR");  // each user's own, under /tmp
        program->setProcessEnvironment(environment);
        program->setWorkingDirectory(folder.path());
        if (asNobody) program->setChildProcessModifier([] { (void)(::setgid(65534) + ::setuid(65534)); });
        program->start(BLOKPOST_PATH, arguments);
        program->waitForStarted();
        return program;
    }
    // What the program says until `said` is among it, or it ends.
    static std::string until(QProcess& program, const std::string& said) {
        std::string output;
        QElapsedTimer waited;
        waited.start();
        while (output.find(said) == std::string::npos && program.state() != QProcess::NotRunning &&
               !waited.hasExpired(120000)) {
            program.waitForReadyRead(200);
            output += program.readAllStandardError().toStdString() + program.readAllStandardOutput().toStdString();
        }
        return output + program.readAllStandardError().toStdString() + program.readAllStandardOutput().toStdString();
    }
    // The first copy holds the folder once its lock is written (it is made empty first).
    bool held() const {
        QElapsedTimer waited;
        for (waited.start(); QFileInfo(lock()).size() == 0 && !waited.hasExpired(120000);) QThread::msleep(20);
        return QFileInfo(lock()).size() > 0;
    }
    void write(const QByteArray& content, int minutesAgo) const {
        QFile file(lock());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.flush();
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo), QFileDevice::FileModificationTime));
    }
    QString lock() const { return folder.filePath(".blokpost.lock"); }
    QTemporaryDir folder;
};

TEST(OneCopy, ASecondStartOnTheFolderBringsTheRunningOneForwardAndEnds) {
    Layout layout;
    const auto first = layout.start({});
    ASSERT_TRUE(layout.held());
    const struct {
        QStringList arguments;
        bool asNobody;
        const char* said;  // empty: not that Blokpost runs
    } starts[] = {{{}, false, "Blokpost draait al in "},
                  {{"--controle"}, false, ""},
                  {{}, true, "maar dat programma is niet te bereiken"}};
    for (const auto& second : starts) {
        SCOPED_TRACE(second.said);
        if (second.asNobody && ::geteuid() != 0) continue;  // acting as another user needs root
        const auto start = layout.start(second.arguments, second.asNobody);
        const std::string said = Layout::until(*start, *second.said ? second.said : "<its end>");
        EXPECT_EQ(said.find("draait al") != std::string::npos, *second.said != 0) << said;
        EXPECT_NE(said.find(second.said), std::string::npos) << said;
        // This user's second start ends by itself, the running one brought forward.
        if (!second.asNobody) start->waitForFinished(120000);
        EXPECT_TRUE(second.asNobody || start->state() == QProcess::NotRunning);
        EXPECT_TRUE(second.asNobody || !*second.said || said.find("dat venster staat nu vooraan") != std::string::npos);
        start->kill();  // another user's start shows its message until it is closed
        start->waitForFinished();
    }
    EXPECT_FALSE(first->waitForFinished(100)) << "the running copy ended";
    first->kill();
    first->waitForFinished();
}

// Locks nobody holds: a killed copy's, one whose process number a running
// Blokpost (of another folder) has since, as after a power cut, and one left
// empty by a start cut off before writing it, are stale; a file by that name
// that is not a lock of ours is left as it is and the start says so.
TEST(OneCopy, AStaleLockDoesNotKeepTheNextStartOutAndAForeignFileIsLeft) {
    Layout layout, other, unwritten, foreign;
    const auto first = layout.start({});
    ASSERT_TRUE(layout.held());
    ASSERT_TRUE(QFile::copy(layout.lock(), other.lock()));
    unwritten.write("", 1);
    foreign.write("mijn aantekeningen\n", 1);
    for (const Layout* folder : {&other, &unwritten, &foreign, &layout}) {
        if (folder == &layout) {
            first->kill();  // SIGKILL: nothing of it is cleaned up
            first->waitForFinished();
        }
        ASSERT_TRUE(QFile::exists(folder->lock()));
        const bool runs = folder != &foreign;
        const auto next = folder->start({"--proefrit", "2"});
        const std::string said = Layout::until(*next, runs ? "proefrit van 2 cycli gereden" : "niet van Blokpost");
        EXPECT_NE(said.find(runs ? "proefrit van" : "verwijder of hernoem dat bestand"), std::string::npos) << said;
        next->waitForFinished(120000);
        EXPECT_EQ(next->exitCode(), runs ? 0 : 1);
        EXPECT_EQ(QFile::exists(folder->lock()), !runs) << "left at a normal end, a foreign file kept";
    }
}

}  // namespace
}  // namespace blokpost::test
