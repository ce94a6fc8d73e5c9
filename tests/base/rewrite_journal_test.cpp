// What the start does with the record of a rewrite in place that was
// stopped, and with what the operator, another user or another layout did
// meanwhile: the file is put back only when it is still the same file in a
// shape the stopped rewrite leaves; anything else stays as it is, with the
// old contents kept beside it, told once.

#include "base/rewrite_journal.h"
#include "base/stored_file.h"
#include "hostile_file_system.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace blokpost::test {
namespace {

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<unreadable>";
}

void writeBytes(const QString& path, const std::string& bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly) {
    QFile file(path);
    ASSERT_TRUE(file.open(mode | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A rewrite of VasteData/Schema1Data.txt stopped after its record was kept:
// the record's writer is gone (its lock went with it).
struct StoppedRewrite {
    StoppedRewrite() {
        ::setenv("XDG_STATE_HOME", state.path().toLocal8Bit().constData(), 1);
        QDir(layout.path()).mkdir("VasteData");
        file = layout.filePath("VasteData/Schema1Data.txt");
        writeBytes(file, old);
        setLayoutFolder(native(layout.path()));
        const int fd = ::open(native(file).c_str(), O_RDWR);
        keepOldContents(fd, native(file), old, next, "Schema1Data.txt");
        ::close(fd);
    }
    ~StoppedRewrite() {
        if (writer >= 0) ::close(writer);
        ::setenv("XDG_STATE_HOME", previousState.c_str(), 1);
    }
    QString records() const { return state.filePath("blokpost"); }
    QString record() const { return records() + "/" + QDir(records()).entryList(QDir::Files).value(0); }
    // What the start tells.
    std::vector<std::string> start() const {
        RecordingReporter reporter;
        finishInterruptedRewrites(reporter);
        return reporter.messages;
    }
    // The copies of the old contents kept beside the file or in the state folder.
    QStringList keptCopies() const {
        const QStringList filter{"* (van voor onderbroken opslaan*"};
        return QDir(layout.filePath("VasteData")).entryList(filter, QDir::Files) +
               QDir(records()).entryList(filter, QDir::Files);
    }

    const std::string previousState = qEnvironmentVariable("XDG_STATE_HOME").toStdString();
    QTemporaryDir layout, state, elsewhere;
    QString file;
    int writer = -1;  // a save that still runs holds its record locked
    const std::string old = std::string(3000, 'o') + "end of the old\r\n";
    const std::string next = std::string(1500, 'n') + "end of the new\r\n";
    const std::string torn = next + old.substr(next.size());  // the new contents' start over the old's rest
};

struct AfterTheStop {
    const char* what;
    void (*act)(StoppedRewrite&);
    const char* told;      // in the start's one message; empty: nothing told
    bool putBack;          // the file holds the old contents again; else it is as the act left it
    bool keptAside;        // a copy of the old contents was made
    bool recordStays;      // the record is left for another start
};

const AfterTheStop kCases[] = {
    {"torn by the stop", [](StoppedRewrite& r) { writeBytes(r.file, r.torn, QIODevice::ReadWrite); },
     "was restored", true, false, false},
    {"the whole new contents", [](StoppedRewrite& r) { writeBytes(r.file, r.next, QIODevice::ReadWrite); }, "",
     false, false, false},
    {"edited by hand after the stop",
     [](StoppedRewrite& r) { writeBytes(r.file, std::string(r.torn).replace(10, 8, "Timer 30"), QIODevice::ReadWrite); },
     "het is sindsdien veranderd", false, true, false},
    {"another file put in its place",
     [](StoppedRewrite& r) {
         const QString other = r.file + ".other";
         writeBytes(other, r.torn);
         ASSERT_EQ(::rename(native(other).c_str(), native(r.file).c_str()), 0);
     },
     "er staat nu een ander bestand", false, true, false},
    {"gone", [](StoppedRewrite& r) { QFile::remove(r.file); }, "No such file or directory", false, true, false},
    {"the record damaged",
     [](StoppedRewrite& r) {
         writeBytes(r.file, r.torn, QIODevice::ReadWrite);
         QFile record(r.record());
         ASSERT_TRUE(record.open(QIODevice::ReadWrite));
         // Within the old contents, where the stop left the new ones: restored from it, the file would take them.
         record.seek(record.size() - static_cast<qint64>(r.next.size() + r.old.size()) + 100);
         record.write("XXXXX");
     },
     "it is damaged", false, false, false},
    {"its save still running",
     [](StoppedRewrite& r) {
         writeBytes(r.file, r.torn, QIODevice::ReadWrite);
         r.writer = ::open(native(r.record()).c_str(), O_RDONLY);
         ASSERT_EQ(::flock(r.writer, LOCK_EX), 0);
     },
     "", false, false, true},
    {"the record another user's",
     [](StoppedRewrite& r) {
         writeBytes(r.file, r.torn, QIODevice::ReadWrite);
         ASSERT_EQ(::chown(native(r.record()).c_str(), kNobody, kNobody), 0);
     },
     "", false, false, true},
    {"the state folder writable by others",
     [](StoppedRewrite& r) {
         writeBytes(r.file, r.torn, QIODevice::ReadWrite);
         ASSERT_EQ(::chmod(native(r.records()).c_str(), 0777), 0);
     },
     "", false, false, true},
    {"started on another layout folder",
     [](StoppedRewrite& r) {
         writeBytes(r.file, r.torn, QIODevice::ReadWrite);
         setLayoutFolder(native(r.elsewhere.path()));
     },
     "", false, false, true},
};

TEST(RewriteJournal, TheStartPutsBackOnlyWhatTheStoppedRewriteLeftAndKeepsTheRestTellingOnce) {
    if (!runningAsRoot()) GTEST_SKIP() << "giving a record to another user needs root";
    for (const AfterTheStop& c : kCases) {
        SCOPED_TRACE(c.what);
        StoppedRewrite r;
        c.act(r);
        const bool present = QFile::exists(r.file);
        const std::string before = readBytes(r.file);

        const std::vector<std::string> told = r.start();
        EXPECT_EQ(told.size(), *c.told ? 1u : 0u);
        if (!told.empty()) {
            EXPECT_NE(told[0].find(c.told), std::string::npos) << told[0];
            const bool damaged = std::string(c.told) == "it is damaged";
            EXPECT_NE(told[0].find(damaged ? native(r.record()) : native(r.file)), std::string::npos) << told[0];
        }
        EXPECT_EQ(readBytes(r.file), c.putBack ? r.old : before);
        const QStringList kept = r.keptCopies();
        ASSERT_EQ(kept.size(), c.keptAside ? 1 : 0);
        if (c.keptAside) {
            EXPECT_EQ(kept[0], "Schema1Data (van voor onderbroken opslaan).txt");
            EXPECT_NE(told[0].find(kept[0].toStdString()), std::string::npos) << told[0];
        }
        const QStringList records = QDir(r.records()).entryList({"rewrite-*"}, QDir::Files);
        EXPECT_EQ(records.filter(".damaged").size(), std::string(c.told) == "it is damaged" ? 1 : 0);
        EXPECT_EQ(records.size() - records.filter(".").size(), c.recordStays ? 1 : 0);

        // Told once: the next start finds nothing to tell, and touches nothing.
        if (!present) writeBytes(r.file, "a file of the same name, later");
        const std::string later = readBytes(r.file);
        if (!c.recordStays) {
            EXPECT_EQ(r.start(), std::vector<std::string>{});
            EXPECT_EQ(readBytes(r.file), later);
        }
    }
}

// The in-place path is used only where its record can be bounded and the
// file is the layout's own; otherwise the save fails with the reason and the
// file is untouched.
TEST(RewriteJournal, AFileTooLargeOrOutsideTheLayoutFolderIsNotRewrittenInPlace) {
    if (!runningAsRoot()) GTEST_SKIP() << "acting as another user needs root";
    struct Case {
        const char* what;
        std::size_t length;
        bool otherLayout;
        const char* reason;
    };
    for (const Case& c : {Case{"larger than a data file", 600 * 1024, false, "larger than a layout file can be"},
                          Case{"outside the layout folder", 100, true, "outside the layout folder"}}) {
        SCOPED_TRACE(c.what);
        StoppedRewrite r;  // (its own record is not looked at here)
        ::chmod(native(r.layout.path()).c_str(), 0755);
        ::chmod(native(r.layout.filePath("VasteData")).c_str(), 0755);
        const QString file = r.layout.filePath("VasteData/NaamData.txt");
        writeBytes(file, std::string(c.length, 'o'));
        ASSERT_EQ(::chown(native(file).c_str(), kNobody, kNobody), 0);
        setLayoutFolder(native(c.otherLayout ? r.elsewhere.path() : r.layout.path()));
        std::string error;
        {
            const ScopedEffectiveUser nobody(kNobody);
            ASSERT_TRUE(nobody.ok());
            error = errorOf([&] { replaceStoredFile(file, std::string(c.length / 2, 'n')); });
        }
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(readBytes(file), std::string(c.length, 'o'));
    }
}

}  // namespace
}  // namespace blokpost::test
