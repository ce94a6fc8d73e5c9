#include "app/start_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace blokpost {

namespace {

const QString kOtherFolder = QStringLiteral(" Of start Blokpost met een andere map: blokpost MAP.");

#if BLOKPOST_HOME_LAYOUT
// HOME as the desktop gives it, else the account's home folder.
QString homeFolder() {
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        if (const passwd* account = getpwuid(getuid()); account && account->pw_dir) home = QString::fromLocal8Bit(account->pw_dir);
    return home;
}
#endif

QString firstLine(const QByteArray& text) {
    return QString::fromLocal8Bit(text).trimmed().section(QLatin1Char('\n'), 0, 0);
}

// Runs one of the tools that lay out the demo; its complaint, or empty.
QString runTool(const QString& tool, const QString& folder) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(tool, {folder});
    if (!process.waitForStarted()) return QStringLiteral("%1 kan niet worden gestart (%2)").arg(tool, process.errorString());
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("%1 werd niet klaar").arg(tool);
    }
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return {};
    const QString said = firstLine(process.readAllStandardError());
    return said.isEmpty() ? QStringLiteral("%1 gaf foutcode %2").arg(tool).arg(process.exitCode()) : said;
}

QString layOutDemo(const QString& folder, const QString& toolsFolder) {
    for (const char* tool : {"blokpost-pictures", "blokpost-demo"}) {
        const QString problem = runTool(QDir(toolsFolder).filePath(QLatin1String(tool)), folder);
        if (!problem.isEmpty())
            return QStringLiteral("De voorbeeldbaan kan niet in de nieuwe map '%1' worden gezet: %2.\n"
                                  "Zorg voor schrijfrechten en ruimte op de schijf, maak de map leeg en start "
                                  "Blokpost opnieuw; een map met bestanden wordt niet aangevuld.")
                .arg(folder, problem);
    }
    return {};
}

}  // namespace

StartFolder chooseStartFolder(const QString& given) {
    if (!given.isEmpty()) return {given, {}};
#if BLOKPOST_HOME_LAYOUT
    const QString home = homeFolder();
    if (home.isEmpty())
        return {{}, QStringLiteral("Blokpost weet niet in welke map het moet werken: er is geen thuismap (HOME is niet "
                                   "gezet).\nGeef de map op: blokpost MAP.")};
    return {QDir(home).filePath(QStringLiteral("Blokpost")), {}};
#else
    return {QDir::currentPath(), {}};
#endif
}

QString prepareStartFolder(const QString& folder, const QString& toolsFolder) {
    const QFileInfo info(folder);
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("'%1' wijst naar '%2', maar dat bestaat niet.\nHerstel of verwijder die koppeling.")
                   .arg(folder, info.symLinkTarget()) + kOtherFolder;
    if (info.exists() && !info.isDir())
        return QStringLiteral("'%1' is een bestand, geen map.\nVerplaats of hernoem dat bestand.").arg(folder) + kOtherFolder;
    if (info.exists()) {
        if (!info.isReadable() || !info.isExecutable())
            return QStringLiteral("De map '%1' kan niet worden gelezen.\nGeef jezelf leesrechten op die map.").arg(folder) +
                   kOtherFolder;
        const bool empty = QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        return empty && !toolsFolder.isEmpty() ? layOutDemo(folder, toolsFolder) : QString();
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
    if (error)
        return QStringLiteral("De map '%1' kan niet worden gemaakt: %2.\nZorg dat je daar mag schrijven en dat de schijf "
                              "niet vol of alleen-lezen is.")
                   .arg(folder, QString::fromStdString(error.message())) + kOtherFolder;
    return toolsFolder.isEmpty() ? QString() : layOutDemo(folder, toolsFolder);
}

QString demoToolsFolder(const QString& programFolder) {
#if BLOKPOST_HOME_LAYOUT
    return programFolder;
#else
    (void)programFolder;
    return {};
#endif
}

}  // namespace blokpost
