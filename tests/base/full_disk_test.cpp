// Every one of the five saves on a real full file system (a small tmpfs,
// filled to the last byte) and under a file size limit: the save is reported
// with the system's reason, the stored file keeps every byte and nothing is
// left beside it; once there is room, the same save goes through.

#include "base/text_file.h"
#include "hostile_file_system.h"
#include "layout/layout_store.h"
#include "layout/pin_names.h"
#include "schedule/schedule_files.h"
#include "state/program_state.h"
#include "support/test_program.h"
#include "timetable/timetable.h"
#include "write_limit/limited_writes.h"

#include <QDir>
#include <gtest/gtest.h>

namespace blokpost::test {
namespace {

struct Save {
    const char* file;  // below VasteData
    void (*press)(ProgramState&);
};

const Save kSaves[] = {
    {"Schema1Data.txt",
     [](ProgramState& s) {
         s.editor.CurrentVariant = 1;
         SchemaOpslaan(s);
     }},
    {"DataOpslag.txt", Opslaan},
    {"NaamData.txt", NaamOpslaan},
    {"AdresData.txt", AdresOpslaan},
    {"BoekjeRood.txt",
     [](ProgramState& s) {
         s.timetable.ActiveBook = "Rood";
         guarded(s, [&] { SaveBoekje(s); });
     }},
};

// What an operator's folder holds: a file of its own for every save, each
// different from what the program is about to write.
struct StoredFolder {
    StoredFolder() {
        QDir(p.folder.path()).mkdir("VasteData");
        FillPinGrid(p.state);
        // Enough in the tables that every save writes more than a few hundred bytes.
        for (int r = 1; r <= kLines; ++r) {
            p.state.timetable.BoardDestination[r] = "Hoogveen Noord";
            p.state.timetable.BoardVia[r] = "Dijkstad, Zandhaven, Goed";
            p.state.timetable.BoardTrain[r] = "Intercity";
        }
    }

    void storeOldFiles() {
        for (const Save& save : kSaves) {
            std::string old;
            while (old.size() < 2027) old += std::string("old ") + save.file + "\r\n";
            p.writeFile(path(save), old);
            ASSERT_EQ(p.readFile(path(save)), old);
            previous.push_back(old);
        }
    }

    static std::string path(const Save& save) { return std::string("VasteData/") + save.file; }
    QStringList entries() const { return QDir(p.folder.filePath("VasteData")).entryList(QDir::Files | QDir::Hidden); }

    // Every save fails with `reason`, and every file stays as it was; returns what the operator was told.
    std::vector<std::string> expectEverySaveRefused(const std::string& reason) {
        const QStringList before = entries();
        std::vector<std::string> told;
        for (std::size_t i = 0; i < std::size(kSaves); ++i) {
            const Save& save = kSaves[i];
            p.reporter.messages.clear();
            save.press(p.state);
            EXPECT_EQ(p.reporter.messages.size(), 1u) << save.file;
            for (const std::string& message : p.reporter.messages)
                EXPECT_NE(message.find(reason), std::string::npos) << message;
            EXPECT_EQ(p.readFile(path(save)), previous[i]) << save.file;
            EXPECT_EQ(entries(), before) << save.file;
            told.insert(told.end(), p.reporter.messages.begin(), p.reporter.messages.end());
        }
        return told;
    }

    void expectEverySaveGoesThrough() {
        for (std::size_t i = 0; i < std::size(kSaves); ++i) {
            p.reporter.messages.clear();
            kSaves[i].press(p.state);
            EXPECT_TRUE(p.reporter.messages.empty()) << kSaves[i].file;
            const std::string now = p.readFile(path(kSaves[i]));
            EXPECT_FALSE(now.empty());
            EXPECT_NE(now, previous[i]);
        }
    }

    TestProgram p;
    std::vector<std::string> previous;
};

TEST(FullDisk, EverySaveOnAFullFileSystemKeepsTheStoredFileAndSaysWhy) {
    if (!runningAsRoot()) GTEST_SKIP() << "mounting a tmpfs needs root";
    StoredFolder folder;
    ScratchTmpfs disk(folder.p.folder.filePath("VasteData"), "size=128k,mode=0755");
    if (!disk.mounted()) GTEST_SKIP() << disk.error();
    folder.storeOldFiles();

    disk.fill();
    const std::vector<std::string> told = folder.expectEverySaveRefused("No space left on device");

    disk.makeRoom();
    {
        // The seam the other tests use for a full disk fails the saves word for word alike.
        const ScopedWriteFailure seam(100);
        EXPECT_EQ(folder.expectEverySaveRefused("No space left on device"), told);
    }
    folder.expectEverySaveGoesThrough();
    EXPECT_EQ(folder.entries().size(), static_cast<qsizetype>(std::size(kSaves)));
}

TEST(FullDisk, EverySaveBeyondTheFileSizeLimitKeepsTheStoredFileAndSaysWhy) {
    StoredFolder folder;
    folder.storeOldFiles();
    {
        // Smaller than anything a save writes, and no end of the program (SIGXFSZ).
        const ScopedFileSizeLimit limit(256);
        folder.expectEverySaveRefused("File too large");
    }
    folder.expectEverySaveGoesThrough();
}

}  // namespace
}  // namespace blokpost::test
