// Data folders copied from other machines: FIFOs, links to devices, link
// loops, sparse files of gigabytes, endless lines. Nothing may block, bloat
// or crash; and a save never replaces what is no regular file, keeps the
// file's owner and rights, and gets through a write-protected folder.

#include "base/rewrite_journal.h"
#include "base/text_file.h"
#include "hostile_file_system.h"
#include "layout/layout_store.h"
#include "layout/pin_names.h"
#include "schedule/schedule_files.h"
#include "state/program_state.h"
#include "support/test_program.h"
#include "timetable/timetable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/sysmacros.h>
#include <utility>

namespace blokpost::test {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Saves `text` as the whole file; the error, or "" when it was saved.
std::string save(const QString& path, const std::string& text) {
    TextFileWriter file(path);
    file.text(text);
    return errorOf([&] { file.commit(); });
}

// `bytes` as nobody's file in `folder`, where only root may add files.
QString nobodysFile(const QString& folder, const QString& name, const std::string& bytes) {
    EXPECT_EQ(::chmod(native(folder).c_str(), 0755), 0);
    const QString path = folder + "/" + name;
    writeBytes(path, bytes);
    EXPECT_EQ(::chown(native(path).c_str(), kNobody, kNobody), 0);
    return path;
}

// What stat says of `path`; the test fails when it cannot look.
struct stat statOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(native(path).c_str(), &info), 0) << native(path);
    return info;
}

struct Load {
    const char* file;  // below VasteData
    void (*press)(ProgramState&);
};

const Load kLoads[] = {
    {"Schema1Data.txt", [](ProgramState& s) { MaakSchema(s, 1); }},
    {"DataOpslag.txt", Lezen},
    {"NaamData.txt", [](ProgramState& s) { guarded(s, [&] { ReadPinNames(s); }); }},
    {"AdresData.txt", [](ProgramState& s) { guarded(s, [&] { ReadPinAddresses(s); }); }},
    {"BoekjeRood.txt", [](ProgramState& s) { guarded(s, [&] { LeesRood(s); }); }},
};

TEST(HostileFiles, WhatIsNoRegularFileIsRefusedWithWhatItIs) {
    QTemporaryDir folder;
    const QString fifo = folder.filePath("fifo.txt");
    ASSERT_EQ(::mkfifo(native(fifo).c_str(), 0644), 0);
    QDir(folder.path()).mkdir("folder.txt");
    QFile::link("/dev/zero", folder.filePath("zero.txt"));
    QFile::link(folder.filePath("loop2.txt"), folder.filePath("loop1.txt"));
    QFile::link(folder.filePath("loop1.txt"), folder.filePath("loop2.txt"));
    QFile::link(folder.filePath("gone.txt"), folder.filePath("dangling.txt"));

    const struct {
        const char* name;
        const char* said;
        bool whole;  // the error is exactly this, not just contains it
    } cases[] = {{"fifo.txt", "FIFO", false},          {"zero.txt", "character device", false},
                 {"folder.txt", "folder", false},      {"loop1.txt", "loop of symbolic links", false},
                 {"dangling.txt", "File not found", true}, {"missing.txt", "File not found", true}};
    for (const auto& c : cases) {
        std::string error;
        EXPECT_TRUE(returnsWithoutBlocking(
            [&] { error = errorOf([&] { TextFileReader::open(folder.filePath(c.name)); }); }, {fifo}))
            << c.name << " blocked";
        EXPECT_TRUE(c.whole ? error == c.said : contains(error, c.said)) << c.name << ": " << error;
    }
}

TEST(HostileFiles, NoLoadBlocksOnAFifoOrReadsAnEndlessDevice) {
    for (const char* target : {"fifo", "/dev/zero"}) {
        for (const Load& load : kLoads) {
            TestProgram p;
            QDir(p.folder.path()).mkdir("VasteData");
            const QString file = p.folder.filePath(QString("VasteData/") + load.file);
            std::vector<QString> fifos;
            if (std::string(target) == "fifo") {
                ASSERT_EQ(::mkfifo(native(file).c_str(), 0644), 0);
                fifos.push_back(file);
            } else {
                QFile::link(target, file);
            }
            const std::string kindBefore = p.state.model.StepKind[1][1];
            EXPECT_TRUE(returnsWithoutBlocking([&] { load.press(p.state); }, fifos)) << load.file << " blocked";
            ASSERT_EQ(p.reporter.messages.size(), 1u) << load.file << " " << target;
            EXPECT_TRUE(contains(p.reporter.messages[0], "not a regular file")) << p.reporter.messages[0];
            EXPECT_EQ(p.state.model.StepKind[1][1], kindBefore);
        }
    }
}

// The pictures read every cycle (meters, sensors, pin drawings) are opened
// only when they are files: a FIFO in a picture's place would stop the cycle.
TEST(HostileFiles, APictureThatIsAFifoFailsToLoadWithoutBlockingTheCycle) {
    TestProgram p;
    QDir(p.folder.path()).mkdir("VasteData");
    const QString dial = p.folder.filePath("VasteData/Wijzerplaat1.bmp");
    ASSERT_EQ(::mkfifo(native(dial).c_str(), 0644), 0);
    EXPECT_TRUE(returnsWithoutBlocking([&] { p.ticks(8); }, {dial}));
    EXPECT_EQ(p.state.cycle.Phase, 8);
}

// A file of gigabytes (sparse: it costs no disk space) is read no further
// than the limit: what the format takes from its start is loaded, and the
// operator is told.
TEST(HostileFiles, AFileOfGigabytesIsReadOnlyUpToTheLimitAndTheOperatorIsTold) {
    TestProgram p;
    std::string schedule;
    for (int n = 0; n < kCells; ++n) schedule += "Pin\r\n";
    for (int n = 0; n < 2 * kCells; ++n) schedule += "5\r\n";
    p.writeFile("VasteData/Schema1Data.txt", schedule);
    const QString path = p.folder.filePath("VasteData/Schema1Data.txt");
    ASSERT_EQ(::truncate(native(path).c_str(), 3LL << 30), 0);

    MaakSchema(p.state, 1);
    // (The cell icons are missing here; their message follows.)
    ASSERT_FALSE(p.reporter.messages.empty());
    EXPECT_TRUE(contains(p.reporter.messages[0], "Schema1Data.txt is larger than a layout file can be"))
        << p.reporter.messages[0];
    EXPECT_EQ(p.state.model.StepKind[8][25], "Pin");
    EXPECT_EQ(p.state.model.StepOperand[8][25], 5);
}

TEST(HostileFiles, TheFileLimitLiesExactlyAtItsSize) {
    QTemporaryDir folder;
    const QString path = folder.filePath("NaamData.txt");
    writeBytes(path, std::string(TextFileReader::kMaxFileBytes, 'n'));
    EXPECT_FALSE(TextFileReader::open(path).cutShort());
    writeBytes(path, std::string(TextFileReader::kMaxFileBytes + 1, 'n'));
    EXPECT_TRUE(TextFileReader::open(path).cutShort());
    // Every stored file fits with every line at its longest: 907 lines of the layout store.
    EXPECT_GE(TextFileReader::kMaxFileBytes, 907 * (TextFileReader::kMaxLineLength + 2));
}

// A long line costs no memory: a name keeps its 7 characters, and no text of
// the model is longer than a line may be.
TEST(HostileFiles, ATextKeepsOnlyWhatItsSlotHolds) {
    TestProgram p;
    p.writeFile("VasteData/NaamData.txt", std::string(400000, 'N') + "\r\nwissel1\r\n");
    std::string store;
    for (int n = 0; n < 273; ++n) store += "0\r\n";
    store += std::string(300000, 'K') + "\r\n";
    p.writeFile("VasteData/DataOpslag.txt", store);

    ReadPinNames(p.state);
    EXPECT_EQ(p.state.pins.PinName[0], "NNNNNNN");
    EXPECT_LT(p.state.pins.PinName[0].capacity(), 64u);
    EXPECT_EQ(p.state.pins.PinName[1], "wissel1");

    Lezen(p.state);
    EXPECT_EQ(p.state.model.StepKind[1][0], std::string(TextFileReader::kMaxLineLength, 'K'));
    EXPECT_LT(p.state.model.StepKind[1][0].capacity(), 2 * TextFileReader::kMaxLineLength);
}

// A link to a device node like /dev/null: with root rights, replacing it
// would put a text file where the system's device was. A node of our own
// stands in for /dev/null, so a fault cannot harm the machine.
TEST(SafeSave, WhatIsNoRegularFileIsNeverReplaced) {
    QTemporaryDir folder;
    const QString fifo = folder.filePath("pipe"), device = folder.filePath("null");
    ASSERT_EQ(::mkfifo(native(fifo).c_str(), 0644), 0);
    QFile::link(fifo, folder.filePath("AdresData.txt"));
    QDir(folder.path()).mkdir("NaamData.txt");
    if (::mknod(native(device).c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)  // needs root
        QFile::link(device, folder.filePath("DataOpslag.txt"));
    const QStringList before = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    const struct {
        const char* file;
        QString target;  // what stays what it is
        mode_t type;
        const char* said;
    } cases[] = {{"AdresData.txt", fifo, S_IFIFO, "FIFO"},
                 {"NaamData.txt", folder.filePath("NaamData.txt"), S_IFDIR, "folder"},
                 {"DataOpslag.txt", device, S_IFCHR, "character device"}};
    for (const auto& c : cases) {
        if (!QFileInfo::exists(c.target)) continue;
        EXPECT_TRUE(contains(save(folder.filePath(c.file), "x"), c.said)) << c.file;
        EXPECT_EQ(statOf(c.target).st_mode & S_IFMT, c.type) << c.file;
    }
    EXPECT_TRUE(QFileInfo(folder.filePath("AdresData.txt")).isSymLink());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
}

TEST(SafeSave, ALinkToAFileIsFollowedAndStaysALink) {
    QTemporaryDir folder;
    QDir(folder.path()).mkdir("elsewhere");
    writeBytes(folder.filePath("elsewhere/BoekjeRood.txt"), "old\r\n");
    QFile::link("elsewhere/BoekjeRood.txt", folder.filePath("BoekjeRood.txt"));
    QFile::link(folder.filePath("loop"), folder.filePath("loop"));

    EXPECT_EQ(save(folder.filePath("BoekjeRood.txt"), "Hoogveen"), "");
    EXPECT_TRUE(QFileInfo(folder.filePath("BoekjeRood.txt")).isSymLink());
    EXPECT_EQ(readBytes(folder.filePath("elsewhere/BoekjeRood.txt")), "Hoogveen\r\n");
    EXPECT_TRUE(contains(save(folder.filePath("loop"), ""), "loop of symbolic links"));
}

TEST(SafeSave, KeepsTheOwnerAndPermissionBitsOfTheFile) {
    if (!runningAsRoot()) GTEST_SKIP() << "giving a file to another user needs root";
    QTemporaryDir folder;
    const QString path = folder.filePath("Schema2Data.txt");
    writeBytes(path, "old\r\n");
    ASSERT_EQ(::chown(native(path).c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(native(path).c_str(), 0640), 0);
    EXPECT_EQ(save(path, "Pin"), "");
    const struct stat info = statOf(path);
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_gid, kNobody);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(readBytes(path), "Pin\r\n");
}

// A file saved for the first time is the operator's to share as any other
// file they make: what the umask leaves of rw-rw-rw-, not the temporary
// file's own 0600.
TEST(SafeSave, ANewFileGetsTheModeTheUmaskLeaves) {
    for (const auto& [mask, mode] : {std::pair<mode_t, mode_t>{022, 0644}, {002, 0664}, {077, 0600}}) {
        QTemporaryDir folder;
        const QString path = folder.filePath("Schema3Data.txt");
        const mode_t before = ::umask(mask);
        EXPECT_EQ(save(path, "Pin"), "");
        ::umask(before);
        EXPECT_EQ(statOf(path).st_mode & 07777, mode) << "umask 0" << std::oct << mask;
    }
}

// The operator's own file in a folder that refuses new files: written in
// place. The file's own protection is still honoured.
TEST(SafeSave, AWriteProtectedFolderIsWrittenInPlace) {
    if (!runningAsRoot()) GTEST_SKIP() << "acting as another user needs root";
    QTemporaryDir folder;
    const QString own = nobodysFile(folder.path(), "NaamData.txt", std::string(300, 'o'));
    const QString readOnly = nobodysFile(folder.path(), "AdresData.txt", "1\r\n");
    ASSERT_EQ(::chmod(native(readOnly).c_str(), 0444), 0);

    setLayoutFolder(native(folder.path()));
    const ScopedEffectiveUser nobody(kNobody);
    ASSERT_TRUE(nobody.ok());
    for (const std::size_t size : {std::size_t{1000}, std::size_t{10}}) {  // longer, then shorter
        EXPECT_EQ(save(own, std::string(size, 'n')), "");
        EXPECT_EQ(readBytes(own), std::string(size, 'n') + "\r\n");
    }
    EXPECT_TRUE(contains(save(readOnly, "2"), "Permission denied"));
    EXPECT_EQ(readBytes(readOnly), "1\r\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// In place, the room for the new contents is claimed before a byte is
// overwritten: a full disk still leaves the old file whole.
TEST(SafeSave, InPlaceOnAFullDiskKeepsTheOldFile) {
    if (!runningAsRoot()) GTEST_SKIP() << "mounting a tmpfs and acting as another user need root";
    QTemporaryDir folder;
    ASSERT_EQ(::chmod(native(folder.path()).c_str(), 0755), 0);
    QDir(folder.path()).mkdir("VasteData");
    const QString data = folder.filePath("VasteData");
    ScratchTmpfs disk(data, "size=64k,mode=0755");
    if (!disk.mounted()) GTEST_SKIP() << disk.error();
    const std::string old(3000, 'o');
    const QString path = nobodysFile(data, "DataOpslag.txt", old);
    disk.fill();

    setLayoutFolder(native(folder.path()));
    const ScopedEffectiveUser nobody(kNobody);
    ASSERT_TRUE(nobody.ok());
    EXPECT_TRUE(contains(save(path, std::string(9000, 's')), "No space left on device"));
    EXPECT_EQ(readBytes(path), old);
}

TEST(SafeSave, AReadOnlyFileIsRefusedAlsoForRoot) {
    QTemporaryDir folder;
    const QString path = folder.filePath("AdresData.txt");
    writeBytes(path, "1\r\n");
    ASSERT_EQ(::chmod(native(path).c_str(), 0444), 0);
    EXPECT_TRUE(contains(save(path, "2"), "Permission denied"));
    EXPECT_EQ(readBytes(path), "1\r\n");
}

// In place, the old contents are kept in the state folder first; where that
// cannot be written the save fails with the reason and the file is untouched.
TEST(SafeSave, InPlaceWithoutRoomForTheOldContentsLeavesTheFileUntouched) {
    if (!runningAsRoot()) GTEST_SKIP() << "acting as another user needs root";
    QTemporaryDir folder;
    QTemporaryDir lockedState;  // root's alone
    ASSERT_TRUE(QDir(lockedState.path()).mkdir("blokpost"));  // there, but not the saving user's
    ASSERT_EQ(::chmod(native(lockedState.path()).c_str(), 0755), 0);
    const QString path = nobodysFile(folder.path(), "NaamData.txt", "Wis1A\r\n");
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(lockedState.path()));
    setLayoutFolder(native(folder.path()));
    std::string error;
    {
        const ScopedEffectiveUser nobody(kNobody);
        ASSERT_TRUE(nobody.ok());
        error = save(path, "Wis9Z");
    }
    qputenv("XDG_STATE_HOME", state);
    EXPECT_TRUE(contains(error, "no copy of its contents could be kept")) << error;
    EXPECT_TRUE(contains(error, "not this user's own")) << error;
    EXPECT_EQ(readBytes(path), "Wis1A\r\n");
}

}  // namespace
}  // namespace blokpost::test
