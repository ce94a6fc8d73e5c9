#include "base/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace blokpost {
namespace {

TEST(DataPaths, FindsTheDataFolderWhicheverWayItIsSpelt) {
    QTemporaryDir root;
    QDir(root.path()).mkdir("VasteData");
    QFile file(root.filePath("VasteData/Bord.bmp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const DataPaths paths(root.path());
    EXPECT_TRUE(QFile::exists(paths.find("Vastedata/Bord.bmp")));
    EXPECT_TRUE(QFile::exists(paths.find("VasteData/Bord.bmp")));
    EXPECT_TRUE(QFile::exists(paths.find("VASTEDATA/Bord.bmp")));
    // Only the folder part ignores case.
    EXPECT_FALSE(QFile::exists(paths.find("VasteData/bord.bmp")));
}

TEST(DataPaths, CreatesAMissingFolderOnceWithItsUsualSpelling) {
    QTemporaryDir root;
    const DataPaths paths(root.path());
    EXPECT_FALSE(QDir(root.filePath("VasteData")).exists());
    const QString first = paths.forWriting("Vastedata/DataOpslag.txt");
    EXPECT_EQ(first, root.filePath("VasteData/DataOpslag.txt"));
    EXPECT_EQ(paths.forWriting("VasteData/Schema1Data.txt"), root.filePath("VasteData/Schema1Data.txt"));
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"VasteData"});
    // Reading never creates anything.
    paths.find("Tekeningen/Tek1.bmp");
    EXPECT_FALSE(QDir(root.filePath("Tekeningen")).exists());
}

TEST(DataPaths, KeepsAnOperatorsOwnSpellingOfTheFolder) {
    QTemporaryDir root;
    QDir(root.path()).mkdir("vastedata");
    const DataPaths paths(root.path());
    EXPECT_EQ(paths.forWriting("VasteData/NaamData.txt"), root.filePath("vastedata/NaamData.txt"));
}

}  // namespace
}  // namespace blokpost
