// The start and the record of a rewrite in place that was stopped: the file
// is put back only when it is still the same file in a shape that rewrite
// leaves; anything else stays, with the old contents kept beside it, told once.

#include "base/rewrite_journal.h"
#include "base/stored_file.h"
#include "hostile_file_system.h"
#include "support/test_program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <tuple>

namespace blokpost::test {
namespace {

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
}

// Over the file's own bytes (the same inode), as a stopped rewrite or a hand edit writes.
void put(const QString& path, const std::string& bytes, QIODevice::OpenMode mode = QIODevice::ReadWrite) {
    QFile file(path);
    ASSERT_TRUE(file.open(mode | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A rewrite of VasteData/Schema1Data.txt stopped once its record was kept.
struct StoppedRewrite {
    StoppedRewrite() {
        ::setenv("XDG_STATE_HOME", native(state.path()).c_str(), 1);
        QDir(layout.path()).mkdir("VasteData");
        put(file, old, QIODevice::WriteOnly);
        setLayoutFolder(native(layout.path()));
        const Descriptor fd(::open(native(file).c_str(), O_RDWR));
        keepOldContents(fd.get(), native(file), old, next, "Schema1Data.txt");  // its writer gone at once
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
    void tear() { put(file, next + old.substr(next.size())); }

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
    {"the new contents whole", [](StoppedRewrite& r) { put(r.file, r.next); }, "", false, 0, 0},
    {"edited by hand, same length",
     [](StoppedRewrite& r) { put(r.file, (r.next + r.old.substr(r.next.size())).replace(10, 8, "Timer 30")); },
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
         r.writer = ::open(native(r.record()).c_str(), O_RDONLY);
         ::flock(r.writer, LOCK_EX);
     },
     "", false, 0, 1},
    {"the record another user's",
     [](StoppedRewrite& r) { r.tear(), (void)::chown(native(r.record()).c_str(), kNobody, kNobody); }, "", false, 0, 1},
    {"the state folder open to others",
     [](StoppedRewrite& r) { r.tear(), (void)::chmod(native(r.records()).c_str(), 0777); }, "", false, 0, 1},
    {"started on another layout folder",
     [](StoppedRewrite& r) { r.tear(), setLayoutFolder(native(r.elsewhere.path())); }, "", false, 0, 1},
};

TEST(RewriteJournal, TheStartPutsBackOnlyWhatTheStoppedRewriteLeftAndKeepsTheRestTellingOnce) {
    if (!runningAsRoot()) GTEST_SKIP() << "giving a record to another user needs root";
    for (const AfterTheStop& c : kCases) {
        SCOPED_TRACE(c.what);
        StoppedRewrite r;
        c.act(r);
        const std::string before = bytesOf(r.file);
        const std::vector<std::string> told = r.start();
        ASSERT_EQ(told.size(), *c.told ? 1u : 0u);
        const QStringList kept = QDir(r.layout.filePath("VasteData")).entryList({"* (van voor onderbroken opslaan).txt"});
        const int damaged = std::string(c.told) == "it is damaged" ? 1 : 0;
        if (*c.told) {
            EXPECT_NE(told[0].find(c.told), std::string::npos) << told[0];
            EXPECT_NE(told[0].find(native(damaged ? r.record() : r.file)), std::string::npos) << told[0];
        }
        EXPECT_EQ(bytesOf(r.file), c.putBack ? r.old : before);
        ASSERT_EQ(kept.size(), c.keptAside);
        if (c.keptAside) {
            EXPECT_NE(told[0].find(kept[0].toStdString()), std::string::npos) << told[0];
            EXPECT_EQ(bytesOf(r.layout.filePath("VasteData/" + kept[0])), r.old);
        }
        EXPECT_EQ(QDir(r.records()).entryList({"*.damaged"}).size(), damaged);
        EXPECT_EQ(QDir(r.records()).entryList({"rewrite-*"}).size(), c.recordsLeft + damaged);
        // Told once: the next start, also with a file of that name there again, says and touches nothing.
        if (c.recordsLeft == 0) {
            if (!QFile::exists(r.file)) put(r.file, "later", QIODevice::WriteOnly);
            const std::string later = bytesOf(r.file);
            EXPECT_EQ(r.start(), std::vector<std::string>{});
            EXPECT_EQ(bytesOf(r.file), later);
        }
    }
}

// In place only where the record stays bounded and the file is the layout's
// own; otherwise the save fails with the reason and the file is untouched.
TEST(RewriteJournal, AFileTooLargeOrOutsideTheLayoutFolderIsNotRewrittenInPlace) {
    if (!runningAsRoot()) GTEST_SKIP() << "acting as another user needs root";
    for (const auto& [length, inLayout, reason] : {std::tuple{600 * 1024, true, "larger than a layout file can be"},
                                                   std::tuple{100, false, "outside the layout folder"}}) {
        SCOPED_TRACE(reason);
        StoppedRewrite r;
        for (const QString& folder : {r.layout.path(), r.layout.filePath("VasteData")}) ::chmod(native(folder).c_str(), 0755);
        const QString file = r.layout.filePath("VasteData/NaamData.txt");
        put(file, std::string(length, 'o'), QIODevice::WriteOnly);
        ASSERT_EQ(::chown(native(file).c_str(), kNobody, kNobody), 0);
        setLayoutFolder(native(inLayout ? r.layout.path() : r.elsewhere.path()));
        const ScopedEffectiveUser nobody(kNobody);
        EXPECT_NE(errorOf([&] { replaceStoredFile(file, std::string(length / 2, 'n')); }).find(reason), std::string::npos);
        EXPECT_EQ(bytesOf(file), std::string(length, 'o'));
    }
}

}  // namespace
}  // namespace blokpost::test
