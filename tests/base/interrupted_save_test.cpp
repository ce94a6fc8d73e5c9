// Saves stopped or failed at every step: a small program does one save under a
// preloaded library that ends or fails it at the N-th write, sync, rename,
// resize or removal (see tests/save_steps).

#include "base/rewrite_journal.h"
#include "base/stored_file.h"
#include "hostile_file_system.h"
#include "support/test_program.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <csignal>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <tuple>
#include <sys/wait.h>
#include <vector>

namespace blokpost::test {
namespace {

constexpr int kStoppedExitCode = 86;  // as stop_at_call.cpp ends the program

struct ChildRun {
    int exitCode = -1;
    std::string output;
};

// Runs the one-save program under the preload, with `setting` (as
// stop_at_call.cpp reads it) for the call numbered `call`.
ChildRun runSaveOnce(const QStringList& arguments, int call, const char* setting = "BLOKPOST_STOP_AT_CALL") {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", STOP_AT_CALL_PRELOAD);
    environment.insert(setting, QString::number(call));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(SAVE_ONCE_PATH, arguments);
    child.waitForFinished(60000);
    return {child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1, child.readAll().toStdString()};
}

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

struct SavePath {
    const char* name;
    bool inPlace;  // the folder refuses new files to the saving user
    std::size_t oldLength;
    std::size_t newLength;
};

const SavePath kSavePaths[] = {
    {"beside the file", false, 4000, 2500},
    {"in place, longer", true, 4000, 6000},
    {"in place, shorter", true, 4000, 1500},
};

// One data folder as an operator has it, with a leftover of a save killed
// before and a file of another name that must stay.
struct DataFolder {
    explicit DataFolder(const SavePath& path) : save(path) {
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);  // the saving user may enter
        data = root.filePath("VasteData");
        QDir().mkpath(data);
        file = data + "/Schema1Data.txt";
        writeBytes(file, oldContents());
        // (Where the folder refuses new files, the saving user could not remove it either.)
        if (!save.inPlace) writeBytes(data + "/Schema1Data.txt.447712.new", "half a save");
        writeBytes(data + "/Schema1Data.txt.bak", "the operator's own");
        if (save.inPlace) {
            EXPECT_EQ(::chown(QFile::encodeName(file).constData(), kNobody, kNobody), 0);
        }
    }
    // The start, as the user who saved.
    ChildRun start() const {
        return runSaveOnce(save.inPlace ? QStringList{"start", data, "as-nobody"} : QStringList{"start", data}, 0);
    }
    std::string oldContents() const { return std::string(save.oldLength, 'o'); }
    std::string newContents() const { return std::string(save.newLength, 'n'); }
    ChildRun saveStoppedAt(int step, const char* setting = "BLOKPOST_STOP_AT_CALL") const {
        QStringList arguments{"save", file, QString::number(save.newLength), "n"};
        if (save.inPlace) arguments << "as-nobody";
        return runSaveOnce(arguments, step, setting);
    }

    const SavePath& save;
    QTemporaryDir root;
    QString data;
    QString file;
};

QString records() { return qEnvironmentVariable("XDG_STATE_HOME") + "/blokpost"; }

// The calls the preload counted, in their order.
std::vector<std::string> callsOf(const std::string& output) {
    std::vector<std::string> calls;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) calls.push_back(line);
    return calls;
}

// Whether a sync lies between the last write before the first rename and that rename.
bool syncedBeforeTheRename(const std::vector<std::string>& calls) {
    const auto rename = std::find(calls.begin(), calls.end(), "rename");
    if (rename == calls.end()) return false;
    auto lastWrite = rename;
    while (lastWrite != calls.begin() && *lastWrite != "write" && *lastWrite != "pwrite") --lastWrite;
    return std::find(lastWrite, rename, "fsync") != rename;
}

// Every step of the save (beside the file, or rewritten in place where the
// folder refuses new files), stopped (a kill, a power cut) and failed (a
// failing disk). Stopped: after the next start every file is old or new and
// nothing is left, no temporary file, no record of a rewrite; beside the file
// the rename is the one step that changes it. Failed: told, and the file keeps
// its old contents; a save never says it went through when the file does not
// hold the new ones. Beside the file, the new contents are synced before they
// take the file's name.
TEST(InterruptedSave, EveryStepStoppedOrFailedLeavesOldOrNewAndTheNextStartLeavesNothingBehind) {
    int filesChecked = 0;
    for (const SavePath& path : kSavePaths) {
        // A folder that refuses new files to a user who may write the file needs another user, so root.
        if (path.inPlace && !runningAsRoot()) continue;
        const std::vector<std::string> calls = callsOf(DataFolder(path).saveStoppedAt(1, "BLOKPOST_LOG_CALLS").output);
        EXPECT_TRUE(path.inPlace || syncedBeforeTheRename(calls)) << path.name;
        // Create, write, sync, rename at the least: else the preload counted nothing.
        EXPECT_GE(calls.size(), 4u) << path.name;
        bool savedWhole = false;
        for (std::size_t step = 1; !savedWhole || step <= calls.size(); ++step) {
            SCOPED_TRACE(std::string(path.name) + ", step " + std::to_string(step));
            ASSERT_LT(step, 100u) << "the save never got through";
            if (step <= calls.size()) {
                DataFolder failing(path);
                const ChildRun failed = failing.saveStoppedAt(static_cast<int>(step), "BLOKPOST_FAIL_AT_CALL");
                const std::string after = readBytes(failing.file);
                if (failed.exitCode == 0) {
                    EXPECT_EQ(after, failing.newContents()) << calls[step - 1] << " failed, told as saved";
                } else {
                    EXPECT_EQ(failed.exitCode, 1) << failed.output;
                    EXPECT_EQ(after, failing.oldContents()) << calls[step - 1] << " failed, told as failed";
                }
                failing.start();  // what a failure left for the next start goes, before the stops are counted
            }
            if (savedWhole) continue;
            DataFolder folder(path);
            const ChildRun stopped = folder.saveStoppedAt(static_cast<int>(step));
            ASSERT_TRUE(stopped.exitCode == kStoppedExitCode || stopped.exitCode == 0)
                << "exit code " << stopped.exitCode << ": " << stopped.output;
            savedWhole = stopped.exitCode == 0;
            const std::string afterStop = readBytes(folder.file);
            const bool whole = afterStop == folder.oldContents() || afterStop == folder.newContents();
            EXPECT_TRUE(path.inPlace || whole) << afterStop.size() << " bytes";
            const ChildRun start = folder.start();
            ASSERT_EQ(start.exitCode, 0) << start.output;
            const std::string afterStart = readBytes(folder.file);
            EXPECT_TRUE(afterStart == folder.oldContents() || afterStart == folder.newContents())
                << afterStart.size() << " bytes";
            EXPECT_EQ(start.output.find("was restored") != std::string::npos, !whole) << start.output;
            EXPECT_EQ(namesIn(folder.data), (QStringList{"Schema1Data.txt", "Schema1Data.txt.bak"}));
            EXPECT_EQ(namesIn(records()), QStringList{});
            ++filesChecked;
        }
    }
    RecordProperty("filesChecked", filesChecked);
}

// A rewrite in place that fails after the new contents went down (the disk
// refuses the resize, or the sync after it), and whose put-back fails too:
// the save says it failed, and its record stays for the next start, which
// puts the file back.
TEST(InterruptedSave, AFailedPutBackAfterAFailedRewriteIsFinishedByTheNextStart) {
    if (!runningAsRoot()) GTEST_SKIP() << "a folder that refuses new files to the saving user needs root";
    const SavePath& shorter = kSavePaths[2];
    // The state folder is there for every run, so they count the same calls.
    QDir().mkpath(records());
    ASSERT_EQ(::chown(QFile::encodeName(records()).constData(), kNobody, kNobody), 0);
    ::chmod(QFile::encodeName(records()).constData(), 0700);
    const std::vector<std::string> calls = callsOf(DataFolder(shorter).saveStoppedAt(1, "BLOKPOST_LOG_CALLS").output);
    const long resize = std::find(calls.begin(), calls.end(), "ftruncate") - calls.begin() + 1;
    ASSERT_LT(resize, static_cast<long>(calls.size()));
    for (const long failing : {resize, resize + 1}) {
        SCOPED_TRACE(calls[static_cast<std::size_t>(failing - 1)] + " failed");
        DataFolder folder(shorter);
        // The put-back claims its room and then writes: that write fails.
        qputenv("BLOKPOST_FAIL_AT_CALL", QString("%1,%2").arg(failing).arg(failing + 2).toLatin1());
        qputenv("BLOKPOST_LOG_CALLS", "1");
        const ChildRun failed = runSaveOnce({"save", folder.file, QString::number(shorter.newLength), "n", "as-nobody"},
                                            0, "BLOKPOST_STOP_AT_CALL");
        qunsetenv("BLOKPOST_FAIL_AT_CALL");
        qunsetenv("BLOKPOST_LOG_CALLS");
        const std::vector<std::string> made = callsOf(failed.output);
        ASSERT_GT(made.size(), static_cast<std::size_t>(failing + 1));
        EXPECT_EQ(made[static_cast<std::size_t>(failing + 1)], "pwrite") << "the put-back's write";
        EXPECT_EQ(failed.exitCode, 1) << failed.output;
        const std::string torn = readBytes(folder.file);
        EXPECT_NE(torn, folder.oldContents());
        EXPECT_NE(torn, folder.newContents());

        const ChildRun start = folder.start();
        EXPECT_NE(start.output.find("was restored"), std::string::npos) << start.output;
        EXPECT_EQ(readBytes(folder.file), folder.oldContents());
    }
}

// The day file's lines are on the disk (fdatasync) before the program ends,
// and yesterday's before its file is let go at midnight (with its last lines
// still queued when the new day's first comes): no line written is left to
// the cache.
TEST(InterruptedSave, TheDayFileIsSyncedAfterItsLastLine) {
    for (const char* when : {"at the end", "midnight"}) {
        SCOPED_TRACE(when);
        QTemporaryDir root;
        const std::vector<std::string> calls =
            callsOf(runSaveOnce({"logbook", root.path(), "300", when}, 1, "BLOKPOST_LOG_CALLS").output);
        const auto lastWrite = std::find(calls.rbegin(), calls.rend(), "write");
        ASSERT_NE(lastWrite, calls.rend()) << "the preload counted no write";
        EXPECT_NE(std::find(calls.rbegin(), lastWrite, "fdatasync"), lastWrite);
        const auto writeBefore = std::find(lastWrite + 1, calls.rend(), "write");
        EXPECT_NE(std::find(lastWrite, writeBefore, "fdatasync"), writeBefore) << "no sync between the two days";
    }
}

// A save's leftovers go, at start for the files the program saves and
// beside a file before it is saved; what another name has (however like a
// leftover it looks), what a running writer still holds locked, and what lies
// where a link leads, stay.
TEST(InterruptedSave, OnlyLeftoversWhoseWriterIsGoneAreRemoved) {
    QTemporaryDir root;
    const QString data = root.filePath("VasteData");
    QDir().mkpath(data);
    const QStringList files{"Schema1Data.txt",     "Schema1Data.txt.12.new", "Schema1Data.txt.34.new",
                            "NaamData.txt.56.new", "Schema1Data.txt.new",    "Schema1Data.txt.x1.new",
                            "notes.12.txt",        "Zomer.2025.new",         "Kopie van Schema1Data.txt.202612.new"};
    for (const QString& name : files) writeBytes(data + "/" + name, "x");
    // The operator keeps the weekend service elsewhere, linked in.
    QDir().mkpath(root.filePath("elders"));
    writeBytes(root.filePath("elders/Schema2Data.txt"), "x");
    writeBytes(root.filePath("elders/Schema2Data.txt.78.new"), "x");
    ASSERT_TRUE(QFile::link(root.filePath("elders/Schema2Data.txt"), data + "/Schema2Data.txt"));
    // A save of another program that is still running holds its file locked.
    const int running = ::open(QFile::encodeName(data + "/Schema1Data.txt.34.new").constData(), O_RDONLY);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);

    ASSERT_EQ(runSaveOnce({"save", data + "/Schema1Data.txt", "10", "n"}, 0).exitCode, 0);
    ASSERT_EQ(runSaveOnce({"save", data + "/Schema2Data.txt", "10", "n"}, 0).exitCode, 0);
    // The leftover of another file stays until the start.
    const QStringList others{"Kopie van Schema1Data.txt.202612.new", "Schema1Data.txt", "Schema1Data.txt.34.new",
                             "Schema1Data.txt.new", "Schema1Data.txt.x1.new", "Schema2Data.txt", "Zomer.2025.new",
                             "notes.12.txt"};
    QStringList beforeStart = others + QStringList{"NaamData.txt.56.new"};
    beforeStart.sort();
    EXPECT_EQ(namesIn(data), beforeStart);
    ASSERT_EQ(runSaveOnce({"start", data}, 0).exitCode, 0);
    EXPECT_EQ(namesIn(data), others);
    EXPECT_EQ(namesIn(root.filePath("elders")), (QStringList{"Schema2Data.txt", "Schema2Data.txt.78.new"}));
    ::close(running);
}

// A save caught in the middle, still running, holds its temporary file
// locked: a start meanwhile leaves it, and the save then gets through.
TEST(InterruptedSave, ATemporaryFileWhoseWriterStillRunsStays) {
    QTemporaryDir root;
    const QString data = root.filePath("VasteData");
    QDir().mkpath(data);
    const QString file = data + "/Schema1Data.txt";
    writeBytes(file, "old");
    // Made before the fork: the child of a program with threads only execs.
    std::vector<std::string> environment{std::string("LD_PRELOAD=") + STOP_AT_CALL_PRELOAD,
                                         "BLOKPOST_PAUSE_AT_CALL=2"};  // the sync of the filled temporary file
    for (const QString& variable : QProcess::systemEnvironment()) environment.push_back(variable.toStdString());
    std::vector<char*> envp;
    for (std::string& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    const QByteArray path = QFile::encodeName(file);
    const char* const argv[] = {SAVE_ONCE_PATH, "save", path.constData(), "5", "n", nullptr};
    const pid_t saver = ::fork();
    if (saver == 0) {
        ::execve(SAVE_ONCE_PATH, const_cast<char* const*>(argv), envp.data());
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(saver, &status, WUNTRACED), saver);
    ASSERT_TRUE(WIFSTOPPED(status));
    ASSERT_EQ(namesIn(data).size(), 2) << "the save's temporary file is there";

    EXPECT_EQ(runSaveOnce({"start", data}, 0).exitCode, 0);
    EXPECT_EQ(namesIn(data).size(), 2) << "the start removed a file in use";

    ::kill(saver, SIGCONT);
    ASSERT_EQ(::waitpid(saver, &status, 0), saver);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readBytes(file), "nnnnn");
    EXPECT_EQ(namesIn(data), QStringList{"Schema1Data.txt"});
}

// The day file under a file size limit: the program started as it does
// (SIGXFSZ ignored from the start) is told and runs on instead of ending.
TEST(InterruptedSave, ADayFileBeyondTheFileSizeLimitIsToldAndTheProgramRunsOn) {
    QTemporaryDir root;
    QProcess child;
    child.setChildProcessModifier([] {
        const rlimit small{2048, 2048};
        ::setrlimit(RLIMIT_FSIZE, &small);
    });
    child.start(SAVE_ONCE_PATH, {"logbook", root.path(), "200"});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_NE(child.readAll().toStdString().find("niet schrijven (File too large)"), std::string::npos);
}

// The start and the record of a rewrite in place that was stopped: the file
// is put back only when it is still the same file in a shape that rewrite
// leaves; anything else stays, with the old contents kept beside it, told once.

std::string encoded(const QString& path) { return QFile::encodeName(path).toStdString(); }

// A rewrite of VasteData/Schema1Data.txt stopped once its record was kept.
struct StoppedRewrite {
    StoppedRewrite() {
        ::setenv("XDG_STATE_HOME", encoded(state.path()).c_str(), 1);
        QDir(layout.path()).mkdir("VasteData");
        writeBytes(file, old);
        setLayoutFolder(encoded(layout.path()));
        const Descriptor fd(::open(encoded(file).c_str(), O_RDWR));
        keepOldContents(fd.get(), encoded(file), old, next, "Schema1Data.txt");  // its writer gone at once
    }
    ~StoppedRewrite() {
        if (writer >= 0) ::close(writer);
        ::setenv("XDG_STATE_HOME", previousState.c_str(), 1);
    }
    std::vector<std::string> start() const {
        RecordingReporter reporter;
        finishInterruptedRewrites(reporter);
        return reporter.messages;
    }
    QString records() const { return state.filePath("blokpost"); }
    QString record() const { return records() + "/" + QDir(records()).entryList({"rewrite-*"}).value(0); }
    void tear() { writeBytes(file, next + old.substr(next.size())); }

    const std::string previousState = qEnvironmentVariable("XDG_STATE_HOME").toStdString();
    QTemporaryDir layout, state, elsewhere;
    const QString file = layout.filePath("VasteData/Schema1Data.txt");
    const std::string old = std::string(3000, 'o') + "end of the old\r\n";
    const std::string next = std::string(1500, 'n') + "end of the new\r\n";
    int writer = -1;  // a save that still runs holds its record locked
};

struct AfterTheStop {
    const char* what;
    void (*act)(StoppedRewrite&);
    const char* told;  // in the start's one message; empty: nothing
    bool putBack;      // the file holds the old contents again, else it is as it was left
    int keptAside;     // copies of the old contents made
    int recordsLeft;   // records left for another start
};

const AfterTheStop kCases[] = {
    {"torn by the stop", [](StoppedRewrite& r) { r.tear(); }, "was restored", true, 0, 0},
    {"the new contents whole", [](StoppedRewrite& r) { writeBytes(r.file, r.next); }, "", false, 0, 0},
    {"edited by hand, same length",
     [](StoppedRewrite& r) { writeBytes(r.file, (r.next + r.old.substr(r.next.size())).replace(10, 8, "Timer 30")); },
     "het is sindsdien veranderd", false, 1, 0},
    {"another file in its place",
     [](StoppedRewrite& r) {
         r.tear();
         QFile::copy(r.file, r.file + ".x");
         QFile::remove(r.file);
         QFile::rename(r.file + ".x", r.file);
     },
     "er staat nu een ander bestand", false, 1, 0},
    {"gone", [](StoppedRewrite& r) { QFile::remove(r.file); }, "No such file or directory", false, 1, 0},
    // Within the old contents, where the stop left the new ones: restored from it, the file would take them.
    {"the record damaged",
     [](StoppedRewrite& r) {
         r.tear();
         QFile record(r.record());
         ASSERT_TRUE(record.open(QIODevice::ReadWrite));
         record.seek(record.size() - static_cast<qint64>(r.next.size() + r.old.size()) + 100);
         record.write("XXXXX");
     },
     "it is damaged", false, 0, 0},
    {"its save still running",
     [](StoppedRewrite& r) {
         r.tear();
         r.writer = ::open(encoded(r.record()).c_str(), O_RDONLY);
         ::flock(r.writer, LOCK_EX);
     },
     "", false, 0, 1},
    {"the record another user's",
     [](StoppedRewrite& r) { r.tear(), (void)::chown(encoded(r.record()).c_str(), kNobody, kNobody); }, "", false, 0, 1},
    {"the state folder open to others",
     [](StoppedRewrite& r) { r.tear(), (void)::chmod(encoded(r.records()).c_str(), 0777); }, "", false, 0, 1},
    {"started on another layout folder",
     [](StoppedRewrite& r) { r.tear(), setLayoutFolder(encoded(r.elsewhere.path())); }, "", false, 0, 1},
};

TEST(RewriteJournal, TheStartPutsBackOnlyWhatTheStoppedRewriteLeftAndKeepsTheRestTellingOnce) {
    if (!runningAsRoot()) GTEST_SKIP() << "giving a record to another user needs root";
    for (const AfterTheStop& c : kCases) {
        SCOPED_TRACE(c.what);
        StoppedRewrite r;
        c.act(r);
        const std::string before = readBytes(r.file);
        const std::vector<std::string> told = r.start();
        ASSERT_EQ(told.size(), *c.told ? 1u : 0u);
        const QStringList kept = QDir(r.layout.filePath("VasteData")).entryList({"* (van voor onderbroken opslaan).txt"});
        const int damaged = std::string(c.told) == "it is damaged" ? 1 : 0;
        if (*c.told) {
            EXPECT_NE(told[0].find(c.told), std::string::npos) << told[0];
            EXPECT_NE(told[0].find(encoded(damaged ? r.record() : r.file)), std::string::npos) << told[0];
        }
        EXPECT_EQ(readBytes(r.file), c.putBack ? r.old : before);
        ASSERT_EQ(kept.size(), c.keptAside);
        if (c.keptAside) {
            EXPECT_NE(told[0].find(kept[0].toStdString()), std::string::npos) << told[0];
            EXPECT_EQ(readBytes(r.layout.filePath("VasteData/" + kept[0])), r.old);
        }
        EXPECT_EQ(QDir(r.records()).entryList({"*.damaged"}).size(), damaged);
        EXPECT_EQ(QDir(r.records()).entryList({"rewrite-*"}).size(), c.recordsLeft + damaged);
        // Told once: the next start, also with a file of that name there again, says and touches nothing.
        if (c.recordsLeft == 0) {
            if (!QFile::exists(r.file)) writeBytes(r.file, "later");
            const std::string later = readBytes(r.file);
            EXPECT_EQ(r.start(), std::vector<std::string>{});
            EXPECT_EQ(readBytes(r.file), later);
        }
    }
}

// In place only where the record stays bounded and the file is the layout's
// own; a file the user may not write is not replaced, though the folder would
// let them put a new file in its place. Otherwise the save fails with the
// reason and the file is untouched.
TEST(RewriteJournal, AFileTooLargeOutsideTheLayoutFolderOrNotTheUsersToWriteIsNotReplaced) {
    if (!runningAsRoot()) GTEST_SKIP() << "acting as another user needs root";
    for (const auto& [length, inLayout, users, reason] :
         {std::tuple{600 * 1024, true, true, "larger than a layout file can be"},
          std::tuple{100, false, true, "outside the layout folder"}, std::tuple{3, true, false, "Permission denied"}}) {
        SCOPED_TRACE(reason);
        StoppedRewrite r;
        for (const QString& folder : {r.layout.path(), r.layout.filePath("VasteData")})
            ::chmod(encoded(folder).c_str(), users ? 0755 : 0777);
        const QString file = r.layout.filePath("VasteData/NaamData.txt");
        writeBytes(file, std::string(length, 'o'));
        ::chmod(encoded(file).c_str(), 0644);  // only its owner writes it
        ASSERT_TRUE(!users || ::chown(encoded(file).c_str(), kNobody, kNobody) == 0);
        setLayoutFolder(encoded(inLayout ? r.layout.path() : r.elsewhere.path()));
        const ScopedEffectiveUser nobody(kNobody);
        EXPECT_NE(errorOf([&] { replaceStoredFile(file, std::string(length / 2, 'n')); }).find(reason), std::string::npos);
        EXPECT_EQ(readBytes(file), std::string(length, 'o'));
    }
}

}  // namespace
}  // namespace blokpost::test
