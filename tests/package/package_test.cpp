// The Debian package as it leaves the build: its files, its dependencies, and
// the program run straight from the unpacked package, with a scratch home and
// no display (or the offscreen platform), so no root is needed.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

struct Outcome {
    int exitCode = -1;
    QString output;  // stdout and stderr together
};

Outcome run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(180000);
    Outcome result{finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
               QString::fromLocal8Bit(process.readAll())};
    if (!finished) process.kill();
    return result;
}

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class PackageTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        const QStringList debs = QDir(QStringLiteral(PACKAGE_FOLDER)).entryList({"blokpost_*.deb"}, QDir::Files);
        if (debs.size() != 1) return;
        deb_ = QDir(QStringLiteral(PACKAGE_FOLDER)).filePath(debs.first());
        unpacked_ = std::make_unique<QTemporaryDir>();
        run("dpkg-deb", {"-x", deb_, unpacked_->path()}, QProcessEnvironment::systemEnvironment());
    }
    static void TearDownTestSuite() { unpacked_.reset(); }

    void SetUp() override {
        ASSERT_FALSE(deb_.isEmpty()) << "no single blokpost_*.deb in " << PACKAGE_FOLDER;
        ASSERT_TRUE(QFileInfo(file("usr/bin/blokpost")).isExecutable()) << "the package was not unpacked";
        ASSERT_TRUE(home_.isValid());
        environment_.insert("HOME", home_.path());
        environment_.insert("PATH", "/usr/bin:/bin");
    }

    static QString file(const QString& relative) { return unpacked_->filePath(relative); }
    Outcome launch(const QStringList& arguments) const { return run(file("usr/bin/blokpost"), arguments, environment_); }

    static inline QString deb_;
    static inline std::unique_ptr<QTemporaryDir> unpacked_;
    QTemporaryDir home_;
    QProcessEnvironment environment_;  // no display: what needs one runs offscreen
};

// Every file the package installs, and which of them are programs.
TEST_F(PackageTest, InstallsExactlyTheListedFiles) {
    std::set<std::pair<QString, bool>> expected = {
        {"usr/bin/blokpost", true},
        {"usr/bin/blokpost-vnc", true},
        {"usr/lib/blokpost/blokpost", true},
        {"usr/lib/blokpost/blokpost-demo", true},
        {"usr/lib/blokpost/blokpost-pictures", true},
        {"usr/lib/udev/rules.d/50-k8055.rules", false},
        {"usr/share/applications/" APPSTREAM_ID ".desktop", false},
        {"usr/share/metainfo/" APPSTREAM_ID ".metainfo.xml", false},
        {"usr/share/man/man1/blokpost.1.gz", false},
        {"usr/share/man/man1/blokpost-vnc.1.gz", false},
        {"usr/share/doc/blokpost/copyright", false},
        {"usr/share/doc/blokpost/changelog.gz", false},
        {"usr/share/doc/blokpost/first-steps.html", false},
        {"usr/share/doc/blokpost/first-steps-desk.png", false},
        {"usr/share/doc/blokpost/first-steps-desk-timetable.png", false},
        {"usr/share/doc/blokpost/controle.png", false},
    };
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        expected.insert({QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/blokpost.png").arg(size), false});

    std::set<std::pair<QString, bool>> found;
    QDirIterator it(unpacked_->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        found.insert({QDir(unpacked_->path()).relativeFilePath(info.filePath()), info.isExecutable()});
    }
    EXPECT_EQ(found, expected);
}

// Outcome-time libraries only; the ones the program cannot start without.
TEST_F(PackageTest, DependsOnRuntimePackagesOnly) {
    const Outcome depends = run("dpkg-deb", {"-f", deb_, "Depends"}, QProcessEnvironment::systemEnvironment());
    ASSERT_EQ(depends.exitCode, 0) << depends.output.toStdString();
    for (const char* needed : {"libqt6widgets6", "libqt6gui6", "libusb-1.0-0"})
        EXPECT_TRUE(depends.output.contains(QLatin1String(needed))) << needed << " in " << depends.output.toStdString();
    for (const QString& entry : depends.output.trimmed().split(", "))
        EXPECT_FALSE(entry.section(' ', 0, 0).endsWith("-dev")) << entry.toStdString();
}

// What the menu, the icon theme, udev and AppStream rely on inside the files.
TEST_F(PackageTest, EntriesPointAtWhatThePackageHolds) {
    const QString desktop = readText(file("usr/share/applications/" APPSTREAM_ID ".desktop"));
    const QString exec = desktop.section("\nExec=", 1).section('\n', 0, 0);
    const QString icon = desktop.section("\nIcon=", 1).section('\n', 0, 0);
    EXPECT_TRUE(QFileInfo(file("usr/bin/" + exec)).isExecutable()) << "Exec=" << exec.toStdString();
    EXPECT_TRUE(QFileInfo::exists(file("usr/share/icons/hicolor/48x48/apps/" + icon + ".png"))) << icon.toStdString();
    EXPECT_TRUE(readText(file("usr/lib/udev/rules.d/50-k8055.rules")).contains(R"(TAG+="uaccess")"));
    EXPECT_TRUE(readText(file("usr/share/metainfo/" APPSTREAM_ID ".metainfo.xml"))
                    .contains("<launchable type=\"desktop-id\">" APPSTREAM_ID ".desktop</launchable>"));

    const auto system = QProcessEnvironment::systemEnvironment();
    const Outcome menu = run("desktop-file-validate", {file("usr/share/applications/" APPSTREAM_ID ".desktop")}, system);
    EXPECT_EQ(menu.exitCode, 0) << menu.output.toStdString();
    const Outcome appstream = run("appstreamcli", {"validate", "--no-net", "--no-color",
                                               file("usr/share/metainfo/" APPSTREAM_ID ".metainfo.xml")}, system);
    EXPECT_EQ(appstream.exitCode, 0) << appstream.output.toStdString();
}

// The maintainer is whoever builds the package; the account's address of a builder who gave
// none (DEBEMAIL, EMAIL) is no real one to lintian: the builder's to mend, not the package's.
TEST_F(PackageTest, LintianFindsNoError) {
    QStringList options{"--no-tag-display-limit"};
    if (qEnvironmentVariableIsEmpty("DEBEMAIL") && qEnvironmentVariableIsEmpty("EMAIL"))
        options << "--suppress-tags" << "bogus-mail-host,bogus-mail-host-in-debian-changelog,root-in-contact,"
                                        "maintainer-address-malformed,maintainer-address-is-on-localhost";
    const Outcome lintian = run("lintian", options << deb_, QProcessEnvironment::systemEnvironment());
    for (const QString& line : lintian.output.split('\n'))
        EXPECT_FALSE(line.startsWith("E: ")) << line.toStdString();
    EXPECT_EQ(lintian.exitCode, 0) << lintian.output.toStdString();
}

// Options answered without a display; what the program cannot use refused
// with 2 before anything is made; a start that cannot go on says why, with 1.
TEST_F(PackageTest, OptionsAnswerWithoutADisplay) {
    QFile plainFile(home_.filePath("a-file"));
    ASSERT_TRUE(plainFile.open(QIODevice::WriteOnly));
    plainFile.close();
    const struct {
        QStringList arguments;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"--version"}, 0, "blokpost " BLOKPOST_VERSION "\n"},
        {{"--help"}, 0, "Usage: blokpost [OPTION...] [FOLDER]"},
        {{"--proefrit=3x"}, 2, "not a number of cycles"},
        {{"--onbekend"}, 2, "unknown option: --onbekend"},
        {{"-platform", "offscreen", home_.filePath("a-file")}, 1, "is een bestand, geen map"},
        {{}, 1, "Blokpost kan geen venster openen: er is geen beeldscherm"},
    };
    for (const auto& c : cases) {
        const Outcome answer = launch(c.arguments);
        EXPECT_EQ(answer.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(answer.output.contains(QString::fromUtf8(c.says)))
            << c.arguments.join(' ').toStdString() << ": " << answer.output.toStdString();
        if (c.exitCode == 2) {
            EXPECT_TRUE(QDir(home_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) ==
                        QStringList({"a-file"}))
                << "made for a refused start";
        }
    }
}

// The first start lays the demo out in ~/Blokpost and the program runs its
// cycle there; a later start on that layout adds nothing to it and keeps what
// the operator changed; --controle never lays anything out.
TEST_F(PackageTest, TheDemoGoesOnlyIntoANewFolder) {
    environment_.insert("QT_QPA_PLATFORM", "offscreen");
    const QString folder = home_.filePath("Blokpost");
    const Outcome check = launch({"--controle"});
    EXPECT_EQ(check.exitCode, 1) << check.output.toStdString();
    EXPECT_TRUE(check.output.contains("bestaat niet")) << check.output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder)) << "--controle laid out a folder";

    const Outcome first = launch({"--proefrit=2"});
    ASSERT_EQ(first.exitCode, 0) << first.output.toStdString();
    EXPECT_TRUE(first.output.contains("proefrit van 2 cycli")) << first.output.toStdString();
    EXPECT_FALSE(first.output.contains("XDG_RUNTIME_DIR")) << "no runtime folder of its own: " << first.output.toStdString();
    for (const char* laidOut : {"VasteData/Schema1Data.txt", "VasteData/BoekjeBlauw.txt", "VasteData/Wie.bmp",
                                "Tekeningen/Spoortekening.bmp", "Tekeningen/Tek126.bmp"})
        EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath(laidOut))) << laidOut;

    QFile names(QDir(folder).filePath("VasteData/NaamData.txt"));
    ASSERT_TRUE(names.open(QIODevice::WriteOnly | QIODevice::Truncate));
    names.write("Mijn eigen namen\r\n");
    names.close();
    for (const char* removed : {"Tekeningen/Tek5.bmp", "VasteData/Schema2Data.txt"})
        ASSERT_TRUE(QFile::remove(QDir(folder).filePath(removed)));

    const Outcome second = launch({folder, "--proefrit", "1"});
    ASSERT_EQ(second.exitCode, 0) << second.output.toStdString();
    EXPECT_EQ(readText(names.fileName()), "Mijn eigen namen\r\n");
    for (const char* removed : {"Tekeningen/Tek5.bmp", "VasteData/Schema2Data.txt"})
        EXPECT_FALSE(QFileInfo::exists(QDir(folder).filePath(removed))) << removed << " was laid out again";
}

}  // namespace
