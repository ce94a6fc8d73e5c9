#include "base/reporter.h"
#include "base/text_file.h"

#include "support/test_program.h"
#include "write_limit/limited_writes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace blokpost {
namespace {

using test::errorOf;
using test::readBytes;
using test::writeBytes;

// A number is read from the start of its line, the rest dropped; blank
// lines are skipped (so the numbers after them shift); past the end come zeros.
TEST(TextFileReader, TakesANumberFromTheStartOfItsLineAndDropsTheRest) {
    const struct {
        std::string bytes;
        std::vector<std::int32_t> numbers;
    } cases[] = {
        {"12 rest of line\r\n  -7\tx\r\n+5\r\n", {12, -7, 5, 0}},
        {"1\r\n\r\n   \r\n2\r\n3\r\n", {1, 2, 3}},
        {std::string(32, '0') + "77\r\n5\r\n", {0, 5}},  // only a token's first 32 characters count
        {"2147483647\r\n-2147483648\r\n", {2147483647, -2147483647 - 1}},
    };
    for (const auto& c : cases) {
        auto file = TextFileReader::fromBytes(c.bytes);
        std::vector<std::int32_t> read;
        for (std::size_t i = 0; i < c.numbers.size(); ++i) read.push_back(file.readNumber());
        EXPECT_EQ(read, c.numbers) << c.bytes;
    }
    EXPECT_EQ(TextFileReader::fromBytes("").readText(), "");
}

TEST(TextFileReader, ATextIsTheWholeLineCutToItsSlot) {
    auto file = TextFileReader::fromBytes("  Lijn A  \r\nWisselstraat\r\n\r\nlast without end");
    EXPECT_EQ(file.readText(), "  Lijn A  ");
    EXPECT_EQ(file.readText(7), "Wissels");
    EXPECT_EQ(file.readText(), "");
    EXPECT_EQ(file.readText(), "last without end");
    EXPECT_TRUE(file.atEnd());
}

TEST(TextFileReader, AcceptsBareLineFeedsAsLineEnds) {
    auto file = TextFileReader::fromBytes("Pin\n42\nTimer\n");
    EXPECT_EQ(file.readText(), "Pin");
    EXPECT_EQ(file.readNumber(), 42);
    EXPECT_EQ(file.readText(), "Timer");
}

TEST(TextFileReader, RejectsWhatIsNoThirtyTwoBitInteger) {
    for (const char* bad : {"abc", "12abc", "1.5", "-", "+", "2147483648", "-2147483649",
                            "99999999999999999999999"}) {
        auto file = TextFileReader::fromBytes(std::string(bad) + "\r\n");
        EXPECT_EQ(errorOf([&] { file.readNumber(); }), "Invalid numeric input") << bad;
    }
}

TEST(TextFileReader, AMissingFileOrAFolderIsReportedNotRead) {
    QTemporaryDir folder;
    EXPECT_EQ(errorOf([&] { TextFileReader::open(folder.filePath("nothing.txt")); }), "File not found");
    QDir(folder.path()).mkdir("adir");
    EXPECT_FALSE(errorOf([&] { TextFileReader::open(folder.filePath("adir")); }).empty());
}

TEST(TextFileWriter, WritesCrLfLinesAndKeepsLineBreaksOutOfValues) {
    QTemporaryDir folder;
    const QString path = folder.filePath("out.txt");
    TextFileWriter file(path);
    file.text("Pin");
    file.number(-12);
    file.text("");
    file.text("two\r\nlines");
    file.commit();
    EXPECT_EQ(readBytes(path), "Pin\r\n-12\r\n\r\ntwo  lines\r\n");
}

TEST(TextFileWriter, ACommitReplacesTheWholeFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath("out.txt");
    writeBytes(path, std::string(5000, 'x'));
    TextFileWriter file(path);
    file.number(1);
    file.commit();
    EXPECT_EQ(readBytes(path), "1\r\n");
}

TEST(TextFileWriter, AWriteThatFailsPartWayLeavesThePreviousFileExactlyAsItWas) {
    QTemporaryDir folder;
    const QString path = folder.filePath("DataOpslag.txt");
    std::string previous;
    for (int i = 0; i < 907; ++i) previous += std::to_string(i * 7) + "\r\n";
    writeBytes(path, previous);

    TextFileWriter file(path);
    for (int i = 0; i < 5000; ++i) file.text("new contents, long enough for several chunks");
    for (std::size_t failAfter : {std::size_t{0}, std::size_t{10}, std::size_t{4096}, std::size_t{9000}}) {
        const ScopedWriteFailure diskFull(failAfter);
        EXPECT_FALSE(errorOf([&] { file.commit(); }).empty()) << failAfter;
        EXPECT_EQ(readBytes(path), previous) << failAfter;
    }
    // Nothing half-written is left beside it.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"DataOpslag.txt"});
    // Once the disk has room again, the same save goes through.
    file.commit();
    EXPECT_EQ(readBytes(path), file.contents());
}

TEST(TextFileWriter, AFileThatCannotBeCreatedIsReported) {
    QTemporaryDir folder;
    TextFileWriter file(folder.filePath("no/such/folder/out.txt"));
    file.text("x");
    EXPECT_FALSE(errorOf([&] { file.commit(); }).empty());
}

// Random bytes read as every kind of value: never a crash, never a read past the end.
TEST(TextFileReader, SurvivesRandomBytes) {
    std::mt19937 random(20240607);
    const std::string alphabet = "0123456789-+$ \t\r\nabcXYZ\x00\xff\x1a";
    for (int round = 0; round < 400; ++round) {
        std::string bytes(random() % 300, '\0');
        for (char& c : bytes)
            c = random() % 4 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
        auto file = TextFileReader::fromBytes(bytes);
        for (int i = 0; i < 200 && !file.atEnd(); ++i) {
            try {
                if (random() % 2) file.readNumber();
                else EXPECT_LE(file.readText(random() % 20).size(), 20u);
            } catch (const OperationError&) {
                break;
            }
        }
    }
}

}  // namespace
}  // namespace blokpost
